#include "exchange/TownieReplacement.h"

#include "exchange/CopyTemplate.h"
#include "exchange/ExchangeTexts.h"
#include "exchange/CharacterReading.h"
#include "exchange/ObjectDefinition.h"
#include "platform/PathText.h"
#include "platform/StagedFile.h"
#include "resfile/IFFResFile2.h"

#include <optional>

namespace tryster::exchange {

using namespace resfile;
using Status = ReplaceResult::Status;

namespace {

struct Identity {
    Status status = Status::Replaced;
    ResError error = kNoError;
    std::uint32_t identifier = 0;
};

// The identifier of the townie's first object definition, read in the
// resource's own byte order.
Identity readTownieIdentity(std::string_view path) {
    Identity identity;
    IFFResFile2 file;
    file.setOpenReadOnly(true);
    if ((identity.error = file.Open(path)) != kNoError) {
        identity.status = Status::TownieUnreadable;
        return identity;
    }
    DataHandle object = file.GetIndResource(kTypeObjectDefinition, 1, nullptr);
    std::optional<std::uint32_t> identifier;
    if (object) {
        identifier = readObjectField(handleBytes(object), kObjectIdentifierOffset, file.IsNativeOrder(object));
        (void)ReleaseAndDispose(file, object);  // the data is read; what the file keeps, it disposes
    } else {
        identity.error = file.lastError();
    }
    (void)file.Close();  // only read: nothing to write
    if (!identifier) {
        identity.status = Status::NoTownieObject;
        if (identity.error == kNoError) identity.error = kBadChunk;
        return identity;
    }
    identity.identifier = *identifier;
    return identity;
}

// Gives the copy's first object definition the townie's identifier and the
// replaced mark. A copy without one is left as it is: the date had none.
ResError markAsTownie(std::string_view path, std::uint32_t identifier) {
    IFFResFile2 file;
    if (ResError error = file.Open(path); error != kNoError) return error;
    ResError error = kNoError;
    if (file.CountResources(kTypeObjectDefinition) > 0) {
        DataHandle object = file.GetIndResource(kTypeObjectDefinition, 1, nullptr);
        if (!object) {
            error = file.lastError();
        } else {
            std::span<std::uint8_t> data = handleBytes(object);
            const bool native = file.IsNativeOrder(object);
            // The copy refuses definitions too short for both fields, so
            // these fit; checked all the same.
            if (!writeObjectField(data, kObjectIdentifierOffset, native, identifier) ||
                !writeObjectWord(data, kReplacedMarkOffset, native, kReplacedMark))
                error = kBadChunk;
            else
                error = file.WriteResource(object);
            ResError released = ReleaseAndDispose(file, object);
            if (error == kNoError) error = released;
        }
    }
    ResError closed = file.Close();
    return error != kNoError ? error : closed;
}

ReplaceResult failed(Status status, ResError error, ExchangeReporter& reporter, std::string problem = {}) {
    reporter.showMessage(kErrorCaption,
                         problem.empty() ? std::string(kCouldNotReplaceMessage)
                                         : std::string(kCouldNotReplaceMessage) + "\n\n" + problem);
    ReplaceResult result;
    result.status = status;
    result.error = error;
    result.problem = std::move(problem);
    return result;
}

}  // namespace

std::string_view describe(Status status) {
    switch (status) {
    case Status::Replaced: return "replaced";
    case Status::TownieUnreadable: return "the townie's file cannot be read as a character file";
    case Status::NoTownieObject: return "the townie's file has no object definition with an identifier";
    case Status::NotCopied: return "the date could not be copied";
    case Status::NotMarked: return "the copy could not be given the townie's identifier";
    case Status::NotPlaced: return "the copy could not be put in the townie's place";
    }
    return "unknown failure";
}

std::string failureDetail(const ReplaceResult& result) {
    return result.replaced() ? std::string() : failureSentence(describe(result.status));
}

std::string replacedText(std::string_view dateName, std::string_view townieFile) {
    return std::string(dateName) + " has taken the place of the Townie in " + std::string(townieFile) + ".";
}

ReplaceResult replaceTownie(std::string_view towniePath, std::string_view datePath, ExchangeReporter& reporter,
                            FilePlacement& placement) {
    const std::string target(towniePath);
    if (!placement.begin(std::span(&target, 1)))
        return failed(Status::NotPlaced, kNoError, reporter, placement.problem());
    Identity townie = readTownieIdentity(towniePath);
    if (townie.status != Status::Replaced) return failed(townie.status, townie.error, reporter);

    platform::StagedFile staged(towniePath);
    staged.discard();
    TemplateCopyPlan plan;
    const std::optional<std::string> objectName = objectNameForPath(towniePath);
    if (!objectName) return failed(Status::NotCopied, kFileError, reporter);
    plan.setTargetObjectName(*objectName);
    if (ResError error = copyTemplate(plan, datePath, staged.path()); error != kNoError)
        return failed(Status::NotCopied, error, reporter);
    if (ResError error = markAsTownie(staged.path(), townie.identifier); error != kNoError)
        return failed(Status::NotMarked, error, reporter);

    const std::string dateName = readCharacter(datePath).name;
    placement.describe(dateName);
    const Placement placed = placement.place(std::span(&staged, 1), {});
    if (!placed.placed) return failed(Status::NotPlaced, kNoError, reporter, placed.problem);
    std::string text = replacedText(dateName, platform::namePart(towniePath));
    if (!placed.closingNote.empty()) text += "\n\n" + placed.closingNote;
    reporter.showMessage(kReplaceCompleteCaption, text);
    ReplaceResult result;
    if (!placed.backups.empty()) result.backupPath = placed.backups.front();
    return result;
}

}  // namespace tryster::exchange
