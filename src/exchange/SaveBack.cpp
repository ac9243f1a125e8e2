#include "exchange/SaveBack.h"

#include "exchange/AppearanceStrings.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/FileBackup.h"
#include "platform/StagedFile.h"

namespace tryster::exchange {

using namespace resfile;
using Status = SaveBackResult::Status;

namespace {

SaveBackResult failed(Status status, ResError error, ExchangeReporter& reporter) {
    reporter.showMessage(kSaveErrorCaption, kCouldNotSaveBackMessage);
    SaveBackResult result;
    result.status = status;
    result.error = error;
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
    case Status::NoBackup: what = "no backup of the character could be written"; break;
    case Status::NotMoved: what = "the new look could not be moved over the character"; break;
    }
    return failureSentence(what);
}

SaveBackResult saveBack(std::string_view path, std::string_view loadedName, const Character& character,
                        ExchangeReporter& reporter) {
    if (character.appearance.bodyTexture.empty() || character.appearance.headTexture.empty()) {
        reporter.showMessage(kSaveErrorCaption, kChooseTexturesMessage);
        SaveBackResult refused;
        refused.status = Status::Refused;
        return refused;
    }

    platform::StagedFile staged(path);
    staged.discard();
    if (!platform::copyFile(path, staged.path())) return failed(Status::NotWritten, kFileError, reporter);
    if (ResError error = writeAppearanceStrings(staged.path(), character); error != kNoError)
        return failed(Status::NotWritten, error, reporter);

    CommitResult commit = commitKeepingBackup(staged);
    if (!commit.committed())
        return failed(commit.status == CommitResult::Status::NoBackup ? Status::NoBackup : Status::NotMoved,
                      kNoError, reporter);
    reporter.showMessage(kSaveCompleteCaption, saveCompleteText(loadedName));
    SaveBackResult result;
    result.backupPath = std::move(commit.backupPath);
    return result;
}

}  // namespace tryster::exchange
