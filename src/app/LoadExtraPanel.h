#pragma once
// The Load command's extra panel beside the open dialog's files:
// "Character Name:", "Gender:" and "Age:" of the file selected, by any
// means (a click, the keyboard, an assistive tool's selection).

#include <QWidget>

class QFileDialog;
class QLineEdit;

namespace tryster::app {

class LoadExtraPanel final : public QWidget {
    Q_OBJECT

public:
    explicit LoadExtraPanel(QWidget* parent = nullptr);

    // Adds a panel to the dialog, following its selection.
    static LoadExtraPanel* addTo(QFileDialog& chooser);

    // Reads the file (read-only) and shows what it says; unreadable files
    // show "Unknown ...".
    void showFile(const QString& path);

private:
    QLineEdit* m_name;
    QLineEdit* m_gender;
    QLineEdit* m_age;
};

}  // namespace tryster::app
