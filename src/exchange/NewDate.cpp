#include "exchange/NewDate.h"

#include "exchange/AppearanceStrings.h"
#include "exchange/CatalogName.h"
#include "exchange/CopyTemplate.h"
#include "exchange/DateConstants.h"
#include "exchange/ExchangeTexts.h"
#include "platform/FileSystem.h"
#include "platform/StagedFile.h"
#include "resfile/IFFResFile2.h"

namespace tryster::exchange {

using namespace resfile;

namespace {

// The steps between the copy and the appearance, on the open new file; the
// message of the step that failed, or none.
std::string_view nameAndConstants(IFFResFile2& file, const PlomData& record, ExchangeReporter& reporter) {
    CatalogName catalog;
    (void)catalog.load(file, kCatalogNameId);  // a template without a catalog name gets a new one
    catalog.name = record.name();
    catalog.description = record.description();
    if (catalog.save(file, kCatalogNameId) != kNoError) return kCouldNotNameMessage;

    reportProgress(reporter, kDateDnaStatus);
    cTreeConstants constants;
    if (constants.load(file, kDateConstantsId) != kNoError || !setDateConstants(constants, record))
        return kCouldNotTraitsMessage;
    if (constants.save() != kNoError) return kCouldNotTraitsMessage;
    return {};
}

}  // namespace

std::string templatePathIn(std::string_view startFolder) { return platform::joinPath(startFolder, kTemplateFileName); }

std::string chooseStartFolder(const std::string& currentFolder, const std::string& dataFolder) {
    auto& files = platform::fileSystem();
    if (files.exists(templatePathIn(currentFolder))) return currentFolder;
    if (!dataFolder.empty() && files.isDirectory(dataFolder)) return dataFolder;
    return currentFolder;
}

bool buildNewDate(platform::StagedFile& staged, std::string_view templatePath, const Character& character,
                  ExchangeReporter& reporter) {
    auto fail = [&](std::string_view message) {
        staged.discard();
        reporter.showMessage(kErrorCaption, message);
        return false;
    };
    // The object is named after the file; a file name the game cannot hold
    // is refused where it is typed, and here rather than written spoilt.
    const std::optional<std::string> objectName = objectNameForPath(staged.target());
    if (!objectName) return fail(kCouldNotCreateMessage);
    TemplateCopyPlan plan;
    plan.setTargetObjectName(*objectName);

    reportProgress(reporter, kCreatingDateStatus);
    staged.discard();
    // The steps after the copy run on the copy while it is open; a step
    // that fails leaves its own message here.
    std::string_view failure;
    auto nameAndLook = [&](IFFResFile2& file) -> ResError {
        reportProgress(reporter, kNamingDateStatus);
        failure = nameAndConstants(file, character.record, reporter);
        if (!failure.empty()) return kFileError;
        reportProgress(reporter, kDateSkinStatus);
        return writeNewDateStrings(file, character);
    };
    // What the steps left pending is written at the close; a write error
    // spoils the whole file.
    if (copyTemplate(plan, templatePath, staged.path(), nameAndLook) != kNoError)
        return fail(failure.empty() ? kCouldNotCreateMessage : failure);
    return true;
}

bool createNewDate(std::string_view basePath, std::string_view templatePath, const Character& character,
                   ExchangeReporter& reporter, FilePlacement& placement) {
    const std::string target = std::string(basePath) + std::string(kDateExtension);
    if (!placement.begin(std::span(&target, 1))) {
        reporter.showMessage(kErrorCaption, placement.problem());
        return false;
    }
    platform::StagedFile staged(target);
    if (!buildNewDate(staged, templatePath, character, reporter)) return false;
    placement.describe(character.record.name());
    const Placement placed = placement.place(std::span(&staged, 1), {});
    if (!placed.placed) reporter.showMessage(kErrorCaption, std::string(kCouldNotCreateMessage) + " " + placed.problem);
    return placed.placed;
}

}  // namespace tryster::exchange
