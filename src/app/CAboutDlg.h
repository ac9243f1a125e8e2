#pragma once
// The About box: icon, version, credits, OK. Its HELP button is hidden, as
// in the template; when pressed it opens the readme and closes the box as
// if cancelled.

#include <QDialog>

namespace tryster::app {

class CPictureButton;

class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    // `readmePath`: what HELP opens.
    explicit CAboutDlg(QString readmePath, QWidget* parent = nullptr);

    CPictureButton* okButton() const { return m_ok; }
    CPictureButton* helpButton() const { return m_help; }

public Q_SLOTS:
    void accept() override;
    void onHelp();

private:
    QString m_readmePath;
    CPictureButton* m_ok;
    CPictureButton* m_help;
};

}  // namespace tryster::app
