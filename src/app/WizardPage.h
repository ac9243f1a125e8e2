#pragma once
// One page of the wizard: a widget of its own in the dialog's stack, shown
// when its step is. A page lays out its controls at construction, reacts
// when its step is entered and left, and says where the keyboard starts on
// it. It shows, reads and binds; the rules it applies live in src/wizard
// and src/preview.
//
// A new page: derive from WizardPage, give it a step in the step table
// (src/wizard/StepTable), and add it in CTrysterDlg::addPages.

#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;
class QSlider;

namespace tryster {
class PlomData;
}
namespace tryster::preview {
class LookModel;
}

namespace tryster::app {

class LivePreview;

// What pages ask of the dialog that holds them.
class PageHost {
public:
    virtual ~PageHost() = default;
    // What the wizard builds: the character's record, and the look model
    // over the character's look (whose character() is the whole).
    virtual PlomData& record() = 0;
    virtual preview::LookModel& look() = 0;
    // The game's install folder and the folder of the program's template
    // and readme.
    virtual const std::string& installFolder() const = 0;
    virtual const std::string& startFolder() const = 0;
    // "The Ploms Tryster: " + text in the window title.
    virtual void setProgressTitle(const QString& stepText) = 0;
    // The live preview: its frames, holds and the characters it shows.
    virtual LivePreview& livePreview() const = 0;
};

class WizardPage : public QWidget {
    Q_OBJECT

public:
    // The buttons a page lays over Back and Next while it shows (the
    // welcome page's Create and Replace, the export page's Save).
    struct MoveButtons {
        QAbstractButton* back = nullptr;
        QAbstractButton* next = nullptr;
    };

    WizardPage(PageHost& host, QWidget* parent);

    // The page's step was entered and the page is shown: what the page does
    // then, and the step the wizard goes on to: `step` itself to stay, any
    // other at once.
    virtual int enter(int step) { return step; }
    // Next on the page: the checks and what they commit. False keeps the
    // wizard here (the check has shown its message).
    virtual bool leave() { return true; }

    const MoveButtons& moveButtons() const { return m_moveButtons; }
    // The controls in the order the keyboard visits them; the first takes
    // the focus when the page is shown.
    const QList<QWidget*>& tabOrder() const { return m_tabOrder; }

protected:
    PageHost& host() const { return m_host; }

    // A control of the page at its place (in the dialog's pixels).
    template <typename T>
    T* place(T* control, const QRect& geometry) {
        control->setGeometry(geometry);
        return control;
    }
    QLabel* placeLabel(const QString& text, const QRect& geometry);
    // A number beside a slider that shows its position as it moves.
    QLabel* showSliderValue(QSlider* slider, const QRect& geometry);
    void setMoveButtons(MoveButtons buttons);
    void setTabOrder(QList<QWidget*> order) { m_tabOrder = std::move(order); }

private:
    PageHost& m_host;
    MoveButtons m_moveButtons;
    QList<QWidget*> m_tabOrder;
};

// Ties a label to the field it names: the label's mnemonic moves to the
// field, and the field's accessible name is the label's text without its
// trailing colon.
void nameAfterLabel(QLabel* label, QWidget* field);
// "Body Type:" -> "Body Type"; "&Zoom:" -> "Zoom".
QString accessibleNameOf(const QString& labelText);

}  // namespace tryster::app
