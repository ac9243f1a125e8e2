#pragma once
// The game skin files a character's look uses, listed in the web export
// file so that a receiver can check for them. The main dialog keeps one
// list for its whole life: every save adds to it, nothing empties it.

#include "character/Appearance.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::exchange {

class SkinFileList {
public:
    static constexpr std::size_t kMaxEntries = 50;
    static constexpr std::size_t kMaxPathLength = 259;

    // Appends `path` unless the list holds exactly the same text already
    // (case counts), is full, or the path is longer than a list entry
    // holds; false when nothing was added.
    bool add(std::string_view path);
    const std::vector<std::string>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

private:
    std::vector<std::string> entries_;
};

// The skin folder of a game folder: "<game>\GameData\Skins\", in the
// platform's separators.
std::string skinFolderOf(std::string_view gameFolder);

// Adds the files of the look found in `skinFolder`: the body mesh's
// ".cmx", the ".skn" meshes it names on its "xskin" lines and their ".bmp"
// textures, the body texture's ".bmp", then the same for the head. Files
// that cannot be opened are left out. Names read from the character files
// count only when they name a file in the skin folder itself.
void collectSkinFiles(std::string_view skinFolder, const Appearance& appearance, SkinFileList& list);

}  // namespace tryster::exchange
