#pragma once
// The index of every skeleton, outfit and animation the game's folders
// define: which file and folder each came from, whether it is loaded, and
// the object once it is. One per process.
//
// Character files are read whole when scanned; index files only note
// where objects live, and an object's file is read when it is first asked
// for. The first definition of a name read wins. Unused animations and
// outfits are unloaded by the sweep and read again when asked for.
//
// Files held in memory (platform/HeldFiles.h) may stand in for the game's:
// while they are held, their outfits and meshes are found first.

#include "anim/Animation.h"
#include "anim/CharacterFile.h"
#include "anim/NameTable.h"
#include "anim/Outfit.h"
#include "anim/Skeleton.h"
#include "platform/HeldFiles.h"
#include "render/RenderObjectFactory.h"

#include <string>
#include <string_view>

namespace tryster::render {
class Device3D;
}

namespace tryster::anim {

// The folder lists the preview scans (relative to the install folder).
inline constexpr std::string_view kCharacterSearchPath =
    "GameData\\cmx;GameData\\cmx2;GameData\\cmx3;GameData\\cmx4;GameData\\cmx5;GameData\\cmx6;"
    "GameData\\cmx7;GameData\\cmx8;GameData\\cmx9;GameData\\cmx10;GameData\\People1;GameData\\People2;"
    "GameData\\Skins;GameData\\Textures;GameData\\Textures2;ExpansionPack2\\Skins;ExpansionPack3\\Skins;"
    "ExpansionPack4\\Skins;ExpansionPack5\\Skins;ExpansionPack6\\Skins;ExpansionPack7\\Skins;"
    "ExpansionPack8\\Skins;ExpansionPack9\\Skins;ExpansionPack3\\Animations;GameData\\Accessories1;"
    "ExpansionPack3;GameData\\Accessories2";
inline constexpr std::string_view kAnimationSearchPath =
    "GameData\\Animation;ExpansionPack\\ExpansionPackAssets;ExpansionPack3\\Animations;"
    "ExpansionPack2\\Skins;ExpansionPack3\\Skins;ExpansionPack4\\Skins;ExpansionPack5\\Skins;"
    "ExpansionPack6\\Skins;ExpansionPack7\\Skins;ExpansionPack8\\Skins;ExpansionPack9\\Skins;ExpansionPack;"
    "ExpansionPack2;ExpansionPack3;Animation2";

// A file whose reading stopped at a fault: a character file keeps what it
// defined before it; a mesh is none, so the outfit parts that wear it are
// left off.
struct LibraryFault {
    std::string file;  // its path, or its name among held files
    FormatStatus status;
};

template <typename T>
struct LibraryEntry {
    std::string name;       // the table key
    std::string fileName;   // for index entries, the named base name with ".bcf"
    std::string directory;  // where the file (or the index) was found
    SearchPath searchPath;
    bool loaded = false;
    Ref<T> object;  // null until loaded, and when the file lacked it
};

class CharacterLibrary {
public:
    // Unused objects stay cached this long after release, and the sweep
    // looks at most this often.
    static constexpr TimeMs kSweepPeriodMs = 15000;
    static constexpr TimeMs kReleaseDelayMs = 60000;

    template <typename T>
    using Table = NameTable<LibraryEntry<T>>;

    // Registers the file kinds, installs the skin hooks and becomes the
    // current library. `device` may be null (nothing is drawn then).
    explicit CharacterLibrary(render::Device3D* device);
    ~CharacterLibrary();
    CharacterLibrary(const CharacterLibrary&) = delete;
    CharacterLibrary& operator=(const CharacterLibrary&) = delete;

    static CharacterLibrary* current();
    // Whether a file is being read for a lookup right now.
    static bool loadingOnDemand();

    // Reads every character file (".cmx" and ".bcf") along the list.
    void loadCharacterFiles(std::string_view list);
    // Notes the objects of every index file (".ndx") along the list.
    void readIndexFiles(std::string_view list);
    // Reads one character file: text when its name ends in ".cmx" (any
    // case), else binary. False when it cannot be opened or stops early
    // (what it read before stays); `status` tells where.
    bool loadFile(std::string_view directory, std::string_view fileName, const SearchPath& searchPath,
                  FormatStatus* status = nullptr);
    // Reads a character file that was written after the scan (a shared
    // date's, just installed): its definitions take the place of earlier
    // ones of the same names, which objects in use keep until they let go.
    bool loadNewFile(std::string_view directory, std::string_view fileName, const SearchPath& searchPath);

    // Registers what one file held, as read from `fileName` in `directory`
    // along `searchPath`: each name's first definition wins, unless
    // `replacing`, when the last one does.
    void registerContents(const CharacterFileContents& contents, std::string_view directory,
                          std::string_view fileName, const SearchPath& searchPath, bool replacing = false);

    // Character files and meshes held in memory that take the place of the
    // game's of the same names until the next call (null: the game's
    // only): the outfits of the held character files are found before the
    // tables' (their meshes along `searchPath`), and held meshes before the
    // folders'. Skeletons and animations in them are not used. The files
    // must outlive their use here; a held character file that does not
    // read adds what it read before the fault.
    void holdFiles(const platform::HeldFiles* files, const SearchPath& searchPath);

    // Null when the name is unknown or its file lacks it; an unloaded
    // entry's file is read first.
    Skeleton* findSkeleton(std::string_view name);
    Outfit* findOutfit(std::string_view name);
    Animation* findAnimation(std::string_view name);

    // A mesh by name along a folder list: binary first when binary assets
    // are preferred, else text. Null when missing or unreadable.
    Ref<SkinMesh> findMesh(std::string_view name, std::string_view searchPath) const;
    static void setPreferBinaryAssets(bool prefer);
    static bool preferBinaryAssets();

    // At most every kSweepPeriodMs: unloads animations and outfits that
    // nothing uses and that were released more than kReleaseDelayMs ago.
    void sweep(TimeMs nowMs);

    const Table<Skeleton>& skeletons() const { return skeletons_; }
    const Table<Outfit>& outfits() const { return outfits_; }
    const Table<Animation>& animations() const { return animations_; }
    render::Device3D* device() const { return device_; }
    render::RenderObjectFactory& factory() { return factory_; }
    // The damaged files met so far, in the order met (a mesh each time it
    // is read); a file that cannot be opened is passed over and not told.
    const std::vector<LibraryFault>& faults() const { return faults_; }

private:
    // Files a scan reads before it parses them.
    static constexpr std::size_t kReadBatch = 32;

    // Reads a whole file (the buffer keeps its room for the next one).
    static bool readFile(const std::string& path, std::vector<std::uint8_t>& into);
    bool loadPath(const std::string& path, std::string_view directory, std::string_view fileName,
                  const SearchPath& searchPath, FormatStatus* status, bool replacing = false);
    FormatStatus parseAndRegister(const std::vector<std::uint8_t>& bytes, std::string_view directory,
                                  std::string_view fileName, const SearchPath& searchPath, bool replacing = false);
    template <typename T>
    T* find(Table<T>& table, std::string_view name);
    // A damaged mesh is none, and told.
    Ref<SkinMesh> readMesh(std::span<const std::uint8_t> bytes, std::string_view type, std::string_view file) const;
    void noteFault(std::string_view file, const FormatStatus& status) const;

    render::Device3D* device_;
    Table<Skeleton> skeletons_;
    Table<Outfit> outfits_;
    Table<Animation> animations_;
    render::RenderObjectFactory factory_;
    TimeMs lastSweepMs_ = 0;
    CharacterFileContents contents_;  // what the file being read holds
    const platform::HeldFiles* held_ = nullptr;
    std::vector<Ref<Outfit>> heldOutfits_;  // of the held character files, by name first read
    // Told by lookups too, which change nothing else.
    mutable std::vector<LibraryFault> faults_;
};

}  // namespace tryster::anim
