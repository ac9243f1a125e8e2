#pragma once
// The captions, messages and status texts of the exporters, as the user and
// the game's players know them.

#include <string>
#include <string_view>

namespace tryster::exchange {

inline constexpr std::string_view kErrorCaption = "Tryster Error:";

// "What failed: <what>.", said after a write's message when it failed.
inline std::string failureSentence(std::string_view what) {
    return "What failed: " + std::string(what) + ".";
}
inline constexpr std::string_view kInquiryCaption = "Tryster Inquery:";

inline constexpr std::string_view kCouldNotCreateMessage = "Could not create new file.";
inline constexpr std::string_view kCouldNotNameMessage = "Could not open new file for naming.";
inline constexpr std::string_view kCouldNotTraitsMessage = "Could not open new file for traits.";
// The web export file could not be written completely; an earlier file of
// the same name is kept.
inline constexpr std::string_view kCouldNotExportMessage = "Could not write the web export file.";
// A chosen file name with nothing before its extension (".srf").
inline constexpr std::string_view kNoFileNameMessage =
    "Please give this Plom's file a name: there is nothing before its extension.";
inline constexpr std::string_view kFolderChosenMessage =
    "Please give this Plom's file a name: a folder was chosen, not a file.";
// The files of a save could not be put in place together; none was.
inline constexpr std::string_view kCouldNotSaveMessage = "Could not save this Plom into the game; nothing was changed.";
inline constexpr std::string_view kConnectQuestion =
    "Would you like to connect to The Ploms Date Exchange now?";

// Status texts of the save command, in the order they appear.
inline constexpr std::string_view kWebExportStatus = "Creating Web Export Data...";
inline constexpr std::string_view kBuildingSkinListStatus = "Building Skin List...";
inline constexpr std::string_view kWritingSkinListStatus = "Writing Skin List...";
inline constexpr std::string_view kCreatingDateStatus = "Creating New Date Plom...";
inline constexpr std::string_view kNamingDateStatus = "Setting New Date Plom's Name...";
inline constexpr std::string_view kDateDnaStatus = "Injecting Date Plom's New DNA...";
inline constexpr std::string_view kDateSkinStatus = "Setting New Date Plom's Skin...";
inline constexpr std::string_view kSnapshotsStatus = "Taking Snap Shots...";
inline constexpr std::string_view kFinishedStatus = "Finished!";

// Steps of the save command's progress bar (its range is 0 to this).
inline constexpr int kSaveProgressSteps = 9;

// Townie replacement: the texts after "The Ploms Tryster: " in the window
// title, and the message of a replacement that could not be made (the
// townie is then left as it was).
inline constexpr std::string_view kSelectTownieTitle = "Select Townie to replace";
inline constexpr std::string_view kSearchingTowniesTitle = "Searching for Townies...";
inline constexpr std::string_view kSearchingDatesTitle = "Searching for Dates...";
inline constexpr std::string_view kCouldNotReplaceMessage = "Could not replace this Plom. The Townie was left as it was.";
inline constexpr std::string_view kReplaceCompleteCaption = "Replace Complete";

// Loading and saving back an existing character.
inline constexpr std::string_view kFigurantTitle = "The Ploms Figurant";
inline constexpr std::string_view kLoadedTitleSuffix = " - The Ploms Figurant";
inline constexpr std::string_view kUnknownCharacter = "Unknown Character";
inline constexpr std::string_view kUnknownAge = "Unknown Age";
inline constexpr std::string_view kUnknownGender = "Unknown Gender";
inline constexpr std::string_view kSaveErrorCaption = "Save Error";
inline constexpr std::string_view kChooseTexturesMessage = "You must choose valid textures to save.";
inline constexpr std::string_view kSaveCompleteCaption = "Save Complete";
// A save back that could not be written; the file is left as it was.
inline constexpr std::string_view kCouldNotSaveBackMessage = "Could not save this Plom back to the game. The file was left as it was.";

}  // namespace tryster::exchange
