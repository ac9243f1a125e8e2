#include "exchange/SaveBack.h"

#include "exchange/AppearanceStrings.h"
#include "exchange/ExchangeTexts.h"
#include "platform/StagedFile.h"

namespace tryster::exchange {

using namespace resfile;
using Status = SaveBackResult::Status;

namespace {

SaveBackResult failed(Status status, ResError error, ExchangeReporter& reporter, std::string problem = {}) {
    reporter.showMessage(kSaveErrorCaption, problem.empty()
                                                ? std::string(kCouldNotSaveBackMessage)
                                                : std::string(kCouldNotSaveBackMessage) + "\n\n" + problem);
    SaveBackResult result;
    result.status = status;
    result.error = error;
    result.problem = std::move(problem);
    return result;
}

}  // namespace

std::string saveCompleteText(std::string_view name) {
    std::string text(name);
    text += " has been saved to the game. The next time you see ";
    text += name;
    text += " this is what they will look like.";
    return text;
}

std::string failureDetail(const SaveBackResult& result) {
    std::string_view what;
    switch (result.status) {
    case Status::Saved:
    case Status::Refused: return {};
    case Status::NotWritten: what = "the file could not be copied or its look written"; break;
    case Status::NotPlaced: what = "the new look could not be put in place of the character"; break;
    }
    return failureSentence(what);
}

SaveBackResult saveBack(std::string_view path, std::string_view loadedName, const Character& character,
                        ExchangeReporter& reporter, FilePlacement& placement) {
    if (character.appearance.bodyTexture.empty() || character.appearance.headTexture.empty()) {
        reporter.showMessage(kSaveErrorCaption, kChooseTexturesMessage);
        SaveBackResult refused;
        refused.status = Status::Refused;
        return refused;
    }
    const std::string target(path);
    if (!placement.begin(std::span(&target, 1)))
        return failed(Status::NotPlaced, kNoError, reporter, placement.problem());

    platform::StagedFile staged(path);
    staged.discard();
    if (!platform::copyFile(path, staged.path())) return failed(Status::NotWritten, kFileError, reporter);
    if (ResError error = writeAppearanceStrings(staged.path(), character); error != kNoError)
        return failed(Status::NotWritten, error, reporter);

    placement.describe(loadedName);
    const Placement placed = placement.place(std::span(&staged, 1), {});
    if (!placed.placed) return failed(Status::NotPlaced, kNoError, reporter, placed.problem);
    std::string text = saveCompleteText(loadedName);
    if (!placed.closingNote.empty()) text += "\n\n" + placed.closingNote;
    reporter.showMessage(kSaveCompleteCaption, text);
    SaveBackResult result;
    if (!placed.backups.empty()) result.backupPath = placed.backups.front();
    return result;
}

}  // namespace tryster::exchange
