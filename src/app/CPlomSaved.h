#pragma once
// The message box: every notice, warning and error of the program. Caption
// and message are kept to kMaxMessageCaption and kMaxMessageText
// characters. OK plays the click and closes.

#include <QDialog>

class QLabel;

namespace tryster::app {

class CPictureButton;

class CPlomSaved final : public QDialog {
    Q_OBJECT

public:
    CPlomSaved(const QString& caption, const QString& message, QWidget* parent = nullptr);

    QString caption() const { return windowTitle(); }
    QString message() const;
    CPictureButton* okButton() const { return m_ok; }

public Q_SLOTS:
    void accept() override;

private:
    QLabel* m_message;
    CPictureButton* m_ok;
};

// Shows a message box and returns when it is closed.
void showMessage(QWidget* parent, const QString& caption, const QString& message);

}  // namespace tryster::app
