#pragma once
// The question box: a caption, a message of up to kMaxQuestionText
// characters, OK and Cancel. Both buttons play the click before closing.

#include <QDialog>

class QLabel;

namespace tryster::app {

class CPictureButton;

class CTROKCancel final : public QDialog {
    Q_OBJECT

public:
    CTROKCancel(const QString& caption, const QString& message, QWidget* parent = nullptr);

    QString caption() const { return windowTitle(); }
    QString message() const;
    CPictureButton* okButton() const { return m_ok; }
    CPictureButton* cancelButton() const { return m_cancel; }

public Q_SLOTS:
    void accept() override;
    void reject() override;

private:
    QLabel* m_message;
    CPictureButton* m_ok;
    CPictureButton* m_cancel;
};

// Asks the question; true for OK.
bool askOkCancel(QWidget* parent, const QString& caption, const QString& message);

}  // namespace tryster::app
