#pragma once
// One page of the wizard, or one group of controls that share a job (the
// preview's view controls, the Replace lists). A page makes its controls on
// the dialog at construction, sets them up during the dialog's
// initialisation, and reacts when its step is entered and left. It shows,
// reads and binds; the rules it applies live in src/wizard.

#include "app/ControlLookup.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <string>

class QLabel;
class QSlider;
class QWidget;

namespace tryster {
class PlomData;
}
namespace tryster::preview {
class Preview;
}
namespace tryster::exchange {
struct CharacterReading;
}

namespace tryster::app {

// What pages ask of the dialog that holds them.
class PageHost {
public:
    virtual ~PageHost() = default;
    // The game's install folder and the folder of the program's template
    // and readme.
    virtual const std::string& installFolder() const = 0;
    virtual const std::string& startFolder() const = 0;
    // Draws one preview frame and shows it at once (long commands redraw
    // between their steps).
    virtual void redrawNow() = 0;
    // "The Ploms Tryster: " + text in the window title.
    virtual void setProgressTitle(const QString& stepText) = 0;
    // While held (holds nest), the frame timer stands and the preview is
    // suspended.
    virtual void holdPreview(bool held) = 0;
    // Reads a character file and shows its look on the preview, the preview
    // held and the wait cursor up meanwhile; what was read comes back.
    virtual exchange::CharacterReading showCharacterFile(const std::string& path) = 0;
};

// What every page reaches of the dialog.
struct PageContext {
    QWidget* dialog = nullptr;
    ControlMap* controls = nullptr;
    PlomData* record = nullptr;
    preview::Preview* preview = nullptr;
    PageHost* host = nullptr;
};

class WizardPage : public QObject {
    Q_OBJECT

public:
    explicit WizardPage(const PageContext& context);
    ~WizardPage() override;

    // The dialog's initialisation: ranges, list contents, first selections.
    virtual void initialise() {}
    // The page's step was entered (its controls are shown by then).
    virtual void enter() {}
    // Next on the page's step: the checks and what they commit. False
    // keeps the wizard on the page (the check has shown its message).
    virtual bool leave() { return true; }

protected:
    QWidget* dialog() const { return m_context.dialog; }
    ControlMap& controls() const { return *m_context.controls; }
    PlomData& record() const { return *m_context.record; }
    preview::Preview& preview() const { return *m_context.preview; }
    PageHost& host() const { return *m_context.host; }

    // A control of the dialog, filed under its id and placed.
    template <typename T>
    T* place(T* control, int id, const QRect& geometry) {
        controls().add(id, control);
        control->setGeometry(geometry);
        return control;
    }
    QLabel* placeLabel(const QString& text, int id, const QRect& geometry);
    // A number beside a slider that shows its position as it moves.
    QLabel* showSliderValue(QSlider* slider, const QRect& geometry);

private:
    PageContext m_context;
};

// Ties a label to the field it names: the label's mnemonic moves to the
// field, and the field's accessible name is the label's text without its
// trailing colon.
void nameAfterLabel(QLabel* label, QWidget* field);
// "Body Type:" -> "Body Type"; "&Zoom:" -> "Zoom".
QString accessibleNameOf(const QString& labelText);

}  // namespace tryster::app
