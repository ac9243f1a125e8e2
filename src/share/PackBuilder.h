#pragma once
// Making a shared date: one zip file with the date, its web exchange file
// and snapshots, the skins its look wears (found as the save's skin list
// finds them) and the manifest. Every file is checked as an install would
// check it, so a pack that is made can be installed.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::share {

// The steps a pack reports, in order, each as it begins.
inline constexpr std::string_view kPackingDateStatus = "Reading the date...";
inline constexpr std::string_view kPackingSkinsStatus = "Collecting its skins...";
inline constexpr std::string_view kWritingPackStatus = "Writing the shared file...";
inline constexpr int kPackProgressSteps = 3;

struct PackRequest {
    std::string datePath;    // the date's ".iff", anywhere
    std::string gameFolder;  // where the skins are looked up
    std::string outPath;     // the archive to write (replaced if there is one)
    // Told each step as it begins; may be empty.
    std::function<void(std::string_view status)> progress;
};

struct PackOutcome {
    bool written = false;
    std::vector<std::string> files;  // game paths packed, in archive order (the manifest first)
    std::string problem;             // why nothing was written: a sentence without a closing full stop
};

// Writes the archive through a staged file beside `outPath`: a failure
// leaves any earlier file there as it was.
PackOutcome packDate(const PackRequest& request);

}  // namespace tryster::share
