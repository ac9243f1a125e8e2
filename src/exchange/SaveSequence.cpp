#include "exchange/SaveSequence.h"

#include "exchange/ExchangeTexts.h"
#include "exchange/GameLayout.h"
#include "exchange/GameFileNames.h"
#include "exchange/NewDate.h"
#include "exchange/WebExchange.h"
#include "platform/FileSystem.h"
#include "platform/StagedFile.h"

namespace tryster::exchange {

namespace {

constexpr std::size_t kExtensionLength = 4;

bool writeWebExchange(const SaveRequest& request, const Character& character, SkinFileList& skinFiles,
                      ExchangeReporter& reporter) {
    platform::StagedFile staged(request.chosenPath);
    staged.discard();
    bool ok = writeWebExchangeKeys(staged.path(), character.record);

    reportProgress(reporter, kBuildingSkinListStatus);
    collectSkinFiles(skinFolderOf(request.gameFolder), character.appearance, skinFiles);

    reportProgress(reporter, kWritingSkinListStatus);
    const std::string knownFolder = request.gameFolderAsGameKnows ? *request.gameFolderAsGameKnows
                                                                   : gameFolderAsGameKnows(request.gameFolder);
    ok = writeSkinFileKeys(staged.path(), skinFiles, request.gameFolder, knownFolder) && ok;
    if (ok && staged.commit()) return true;
    reporter.showMessage(kErrorCaption, kCouldNotExportMessage);
    return false;
}

}  // namespace

std::string basePathOf(std::string_view chosenPath) {
    const std::string_view name = platform::namePart(chosenPath);
    std::size_t extension = 0;
    if (name.size() >= kExtensionLength && name[name.size() - kExtensionLength] == '.')
        extension = kExtensionLength;
    else if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos)
        extension = name.size() - dot;
    return std::string(chosenPath.substr(0, chosenPath.size() - extension));
}

std::string chosenNameProblem(std::string_view chosenPath) {
    const std::string base = basePathOf(chosenPath);
    const std::string_view name = platform::namePart(base);
    if (!isDeviceName(name)) return {};
    return "The name " + std::string(name) + " cannot be used: " + deviceNameProblem(name) +
           ". Please choose another name.";
}

SaveResult runSaveSequence(const SaveRequest& request, const Character& character, SkinFileList& skinFiles,
                           ExchangeReporter& reporter, PreviewSnapshots* snapshots) {
    SaveResult result;
    const std::string base = basePathOf(request.chosenPath);
    if (platform::namePart(base).empty()) {
        reporter.showMessage(kErrorCaption, kNoFileNameMessage);
        return result;
    }
    if (const std::string problem = chosenNameProblem(request.chosenPath); !problem.empty()) {
        reporter.showMessage(kErrorCaption, problem);
        return result;
    }
    // A file dialog accepted without a name gives its folder: writing there
    // would make files named after the folder beside it.
    if (platform::fileSystem().isDirectory(request.chosenPath)) {
        reporter.showMessage(kErrorCaption, kFolderChosenMessage);
        return result;
    }

    reportProgress(reporter, kWebExportStatus);
    result.webExchangeWritten = writeWebExchange(request, character, skinFiles, reporter);
    if (result.webExchangeWritten) result.filesWritten.push_back(request.chosenPath);

    result.dateWritten = createNewDate(base, request.templatePath, character, reporter);
    if (result.dateWritten) result.filesWritten.push_back(base + std::string(kDateExtension));

    reportProgress(reporter, kSnapshotsStatus);
    if (snapshots) {
        for (std::string& path : snapshots->takeSnapshots(base + std::string(kHeadSnapshotSuffix),
                                                          base + std::string(kBodySnapshotSuffix)))
            result.filesWritten.push_back(std::move(path));
    }

    reportProgress(reporter, kFinishedStatus);
    return result;
}

}  // namespace tryster::exchange
