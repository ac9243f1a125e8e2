#include "exchange/SaveSequence.h"

#include "exchange/ExchangeTexts.h"
#include "exchange/GameLayout.h"
#include "exchange/GameFileNames.h"
#include "exchange/NewDate.h"
#include "exchange/WebExchange.h"
#include "platform/FileSystem.h"
#include "platform/StagedFile.h"

#include <algorithm>

namespace tryster::exchange {

namespace {

constexpr std::size_t kExtensionLength = 4;

bool writeWebExchange(const SaveRequest& request, const Character& character, SkinFileList& skinFiles,
                      ExchangeReporter& reporter, platform::StagedFile& staged) {
    staged.discard();
    bool ok = writeWebExchangeKeys(staged.path(), character.record);

    reportProgress(reporter, kBuildingSkinListStatus);
    collectSkinFiles(skinFolderOf(request.gameFolder), character.appearance, skinFiles);

    reportProgress(reporter, kWritingSkinListStatus);
    const std::string knownFolder = request.gameFolderAsGameKnows ? *request.gameFolderAsGameKnows
                                                                   : gameFolderAsGameKnows(request.gameFolder);
    ok = writeSkinFileKeys(staged.path(), skinFiles, request.gameFolder, knownFolder) && ok;
    if (ok) return true;
    staged.discard();
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

std::vector<std::string> savedFilesOf(std::string_view chosenPath) {
    const std::string base = basePathOf(chosenPath);
    return {std::string(chosenPath), base + std::string(kDateExtension), base + std::string(kHeadSnapshotSuffix),
            base + std::string(kBodySnapshotSuffix)};
}

SaveResult runSaveSequence(const SaveRequest& request, const Character& character, SkinFileList& skinFiles,
                           ExchangeReporter& reporter, PreviewSnapshots* snapshots, FilePlacement& placement) {
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
    const std::vector<std::string> targets = savedFilesOf(request.chosenPath);
    if (!placement.begin(targets)) {
        reporter.showMessage(kErrorCaption, placement.problem());
        return result;
    }
    // In the order of `targets`; only the ones built are put in place.
    std::vector<platform::StagedFile> staged;
    for (const std::string& t : targets) staged.emplace_back(t);
    std::vector<bool> built(targets.size(), false);

    reportProgress(reporter, kWebExportStatus);
    built[0] = writeWebExchange(request, character, skinFiles, reporter, staged[0]);
    built[1] = buildNewDate(staged[1], request.templatePath, character, reporter);

    reportProgress(reporter, kSnapshotsStatus);
    std::vector<std::string> removed;
    if (snapshots) {
        staged[2].discard();
        staged[3].discard();
        const std::vector<std::string> taken = snapshots->takeSnapshots(staged[2].path(), staged[3].path());
        for (std::size_t i = 2; i < 4; ++i) {
            built[i] = std::find(taken.begin(), taken.end(), staged[i].path()) != taken.end();
            if (!built[i] && platform::fileSystem().exists(targets[i])) removed.push_back(targets[i]);
        }
    }

    std::vector<platform::StagedFile> placed;
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (built[i]) placed.push_back(std::move(staged[i]));
    if (!placed.empty() || !removed.empty()) {
        placement.describe(character.record.name());
        const Placement outcome = placement.place(placed, removed);
        if (!outcome.placed) {
            reporter.showMessage(kErrorCaption, std::string(kCouldNotSaveMessage) + " " + outcome.problem);
            built.assign(built.size(), false);
        }
        result.closingNote = outcome.closingNote;
    }
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (built[i]) result.filesWritten.push_back(targets[i]);
    result.webExchangeWritten = built[0];
    result.dateWritten = built[1];

    reportProgress(reporter, kFinishedStatus);
    return result;
}

}  // namespace tryster::exchange
