#pragma once
// Files held in memory that stand in for the game's files of the same name:
// a shared date's skins, read from its archive, are worn on the preview
// before anything of them is written. The texture cache takes its images
// from here before the texture folders, the character library its outfits
// and meshes before the game's (anim/CharacterLibrary.h).
//
// Names are file names without a folder ("b006fafit_01.cmx"), matched
// without regard to letter case, as the game's platform matches them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::platform {

struct HeldFile {
    std::string name;  // with its extension
    std::vector<std::uint8_t> bytes;

    // The extension in upper case, without the dot ("CMX").
    std::string type() const;
};

class HeldFiles {
public:
    // A later file of the same name takes the place of the earlier.
    void add(std::string name, std::vector<std::uint8_t> bytes);

    // The file called `name` with one of `types` (upper case, without the
    // dot), the types tried in the order given; a name that carries one of
    // the types as its extension is looked up as given. Null when none is
    // held.
    const HeldFile* find(std::string_view name, std::span<const std::string> types) const;
    // Every file of one of `types`, in the order they were added.
    std::vector<const HeldFile*> ofTypes(std::span<const std::string> types) const;

    bool empty() const { return files_.empty(); }
    std::size_t size() const { return files_.size(); }

private:
    std::vector<HeldFile> files_;
};

}  // namespace tryster::platform
