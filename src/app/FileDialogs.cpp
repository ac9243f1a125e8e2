#include "app/FileDialogs.h"

#include "app/CPlomSaved.h"
#include "app/ModalRunner.h"
#include "app/TextBoundary.h"
#include "exchange/ExchangeTexts.h"
#include "platform/FileSystem.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tryster::app {

namespace {

QString chooseOnce(QWidget* parent, const FileChoice& choice) {
    QFileDialog chooser(parent, choice.title, choice.folder);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    // The filter shows its text; the pattern in its last parentheses filters.
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    chooser.setNameFilter(choice.filter);
    if (choice.save) {
        chooser.setAcceptMode(QFileDialog::AcceptSave);
        chooser.setFileMode(QFileDialog::AnyFile);
        chooser.setDefaultSuffix(choice.suffix);
    } else {
        chooser.setAcceptMode(QFileDialog::AcceptOpen);
        chooser.setFileMode(QFileDialog::ExistingFile);
    }
    if (!choice.file.isEmpty()) chooser.selectFile(choice.file);
    if (choice.extend) choice.extend(chooser);
    if (runModal(chooser) != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().front();
}

}  // namespace

QString chooseFile(QWidget* parent, const FileChoice& choice) {
    FileChoice next = choice;
    for (;;) {
        const QString chosen = chooseOnce(parent, next);
        const QString refusal = chosen.isEmpty() || !choice.refuse ? QString() : choice.refuse(chosen);
        if (refusal.isEmpty()) return chosen;
        showMessage(parent, gameTextToQt(exchange::kErrorCaption), refusal);
        const QFileInfo refused(chosen);
        next.folder = refused.absolutePath();
        next.file = refused.fileName();
    }
}

QString gameSubfolder(const std::string& gameFolder, std::string_view relative) {
    return fileNameToQt(platform::resolvePath(platform::joinPath(gameFolder, relative)).string());
}

}  // namespace tryster::app
