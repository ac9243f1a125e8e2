#include "exchange/TownieSearch.h"

#include "exchange/AppearanceStrings.h"
#include "platform/FileSystem.h"
#include "resfile/IFFResFile2.h"
#include "resfile/StringSet.h"

namespace tryster::exchange {

using namespace resfile;

namespace {

constexpr std::string_view kCharactersFolderName = "Characters";

// False only for a file whose string list 200 reads and whose string 1
// does not begin with "A" (either case): a child.
bool adultOrUnreadable(std::string_view path) {
    IFFResFile2 file;
    file.setOpenReadOnly(true);
    if (file.Open(path) != kNoError) return true;
    StringSet strings;
    bool adult = true;
    if (strings.Load(&file, kAppearanceListId, false) == kNoError) {
        const std::string* age = strings.GetString(1);
        adult = age && !age->empty() && (age->front() == 'A' || age->front() == 'a');
    }
    (void)file.Close();  // only read: nothing to write
    return adult;
}

}  // namespace

std::string neighborhoodCharactersFolder(std::string_view neighborhoodPath) {
    return platform::joinPath(platform::folderPart(neighborhoodPath), kCharactersFolderName) +
           platform::nativeSeparator();
}

bool isTownie(std::string_view path) {
    if (!adultOrUnreadable(path)) return false;
    std::optional<std::uint64_t> size = platform::fileSystem().fileSize(path);
    return size && *size >= kMinTownieFileSize;
}

std::vector<std::string> searchTownies(std::string_view charactersFolder) {
    std::vector<std::string> townies;
    for (std::string& name : platform::findFiles(charactersFolder, kTowniePattern))
        if (isTownie(platform::joinPath(charactersFolder, name))) townies.push_back(std::move(name));
    return townies;
}

std::string datesFolder(std::string_view gameFolder) { return platform::joinPath(gameFolder, kDatesFolder); }

std::vector<std::string> searchDates(std::string_view gameFolder) {
    std::vector<std::string> dates;
    for (std::string& name : platform::findFiles(datesFolder(gameFolder), kDatePattern))
        if (name.find(kGenericDateName) == std::string::npos) dates.push_back(std::move(name));
    return dates;
}

}  // namespace tryster::exchange
