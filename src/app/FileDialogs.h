#pragma once
// The program's file dialogs: Qt's own (not the desktop's), so they look and
// behave the same everywhere and tests can answer them through the modal
// runner. Folders are resolved against the disk without regard to letter
// case, as the game's paths are.

#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QFileDialog;
class QWidget;

namespace tryster::app {

struct FileChoice {
    QString title;
    QString folder;     // where the dialog opens
    QString filter;     // "Shown text (pattern)"
    QString file;       // a file name to start with, or empty
    bool save = false;  // a save dialog (asks before overwriting), else open an existing file
    QString suffix;     // added to a name typed without one (save dialogs)
    // Called with the dialog before it opens, to add a panel.
    std::function<void(QFileDialog&)> extend;
    // Called with the chosen path; a text refuses it: the text is shown as
    // an error and the dialog opens again on the same name.
    std::function<QString(const QString& path)> refuse;
};

// The chosen path, or empty when the user cancelled.
QString chooseFile(QWidget* parent, const FileChoice& choice);

// A folder below the game's, its components matched without regard to case
// (the name as given where it does not exist).
QString gameSubfolder(const std::string& gameFolder, std::string_view relative);

}  // namespace tryster::app
