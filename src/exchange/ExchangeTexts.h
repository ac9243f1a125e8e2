#pragma once
// The captions, messages and status texts of the exporters, as the user and
// the game's players know them.

#include <string_view>

namespace tryster::exchange {

inline constexpr std::string_view kErrorCaption = "Tryster Error:";
inline constexpr std::string_view kInquiryCaption = "Tryster Inquery:";

inline constexpr std::string_view kCouldNotCreateMessage = "Could not create new file.";
inline constexpr std::string_view kCouldNotNameMessage = "Could not open new file for naming.";
inline constexpr std::string_view kCouldNotTraitsMessage = "Could not open new file for traits.";
// The web export file could not be written completely; an earlier file of
// the same name is kept.
inline constexpr std::string_view kCouldNotExportMessage = "Could not write the web export file.";
inline constexpr std::string_view kConnectQuestion = "Would you like to connect to The Ploms Date Exchange now?";

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

}  // namespace tryster::exchange
