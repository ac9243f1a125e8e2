#include "anim/CharacterLibrary.h"

#include "anim/IndexFile.h"
#include "anim/PreviewCharacter.h"
#include "anim/SkinInstance.h"
#include "anim/SkinMeshFile.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <array>

namespace tryster::anim {
namespace {

constexpr std::size_t kInitialSlots = 100;

CharacterLibrary* currentLibrary = nullptr;
bool onDemand = false;
bool preferBinary = false;

std::unique_ptr<SkinInstance> createSkin(PosedSkeleton& skeleton, const Outfit& outfit, OutfitPart& part,
                                         std::string_view override) {
    if (!part.mesh)
        if (CharacterLibrary* library = CharacterLibrary::current())
            part.mesh = library->findMesh(part.meshName, outfit.searchPath);
    if (!part.mesh) return nullptr;
    render::RenderGroup* group = skeleton.owner() ? &skeleton.owner()->renderGroup() : nullptr;
    return SkinInstance::create(skeleton, outfit, part, part.mesh, override, group);
}

// The instance leaves the render group as it goes.
void releaseSkin(std::unique_ptr<SkinInstance> instance) {
    instance.reset();
}

template <typename T>
void registerObject(CharacterLibrary::Table<T>& table, std::string_view name, Ref<T> object,
                    std::string_view directory, std::string_view fileName, const SearchPath& searchPath,
                    bool replacing) {
    auto [e, added] = table.tryEmplace(name);
    if (added || replacing) {
        e.fileName = fileName;
        e.directory = directory;
        e.searchPath = searchPath;
        e.loaded = true;
        e.object = std::move(object);
    } else if (!e.loaded) {
        e.object = std::move(object);
        e.loaded = true;
    }
    // A loaded entry keeps its object: the first definition read wins.
}

// Character files are text when their names end in ".cmx" (any case).
bool isTextCharacterFile(std::string_view fileName) {
    return fileName.size() >= 4 && platform::equalsNoCase(fileName.substr(fileName.size() - 4), ".cmx");
}

FormatStatus readCharacter(std::span<const std::uint8_t> bytes, std::string_view fileName,
                           CharacterFileContents& out) {
    return isTextCharacterFile(fileName)
               ? readCharacterText({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, out)
               : readCharacterBinary(bytes, out);
}

// The mesh kinds in the order a lookup tries them.
std::vector<std::string> meshTypes() {
    return preferBinary ? std::vector<std::string>{"BMF", "SKN"} : std::vector<std::string>{"SKN"};
}

// Whether the sweep may unload an object that nothing else holds and that
// was released long enough ago.
template <typename T>
bool expired(const LibraryEntry<T>& e, int users, TimeMs nowMs) {
    return e.loaded && e.object && e.object->refCount() == 1 && users == 0 && e.object->releaseTime != 0 &&
           e.object->releaseTime + CharacterLibrary::kReleaseDelayMs < nowMs;
}

}  // namespace

CharacterLibrary::CharacterLibrary(render::Device3D* device)
    : device_(device), skeletons_(kInitialSlots), outfits_(kInitialSlots), animations_(kInitialSlots) {
    platform::FileFinder& finder = platform::FileFinder::instance();
    finder.registerCategory("SKIN", {"SKN", "BMF"});
    finder.registerCategory("ANIM", {"CMX", "BCF"});
    finder.registerCategory("INDX", {"NDX"});
    installSkinInstanceHooks({createSkin, releaseSkin});
    currentLibrary = this;
}

CharacterLibrary::~CharacterLibrary() {
    if (currentLibrary == this) {
        currentLibrary = nullptr;
        installSkinInstanceHooks({});
    }
}

CharacterLibrary* CharacterLibrary::current() {
    return currentLibrary;
}

bool CharacterLibrary::loadingOnDemand() {
    return onDemand;
}

void CharacterLibrary::setPreferBinaryAssets(bool prefer) {
    preferBinary = prefer;
}

bool CharacterLibrary::preferBinaryAssets() {
    return preferBinary;
}

void CharacterLibrary::loadCharacterFiles(std::string_view list) {
    const SearchPath searchPath(list);
    const std::vector<platform::FoundFile> files =
        platform::FileFinder::instance().enumerateCategory("ANIM", list);
    // A batch of files is read back to back, then parsed: reads in a row
    // find the file system's own data still warm.
    std::vector<std::vector<std::uint8_t>> batch(std::min(files.size(), kReadBatch));
    std::array<bool, kReadBatch> read{};
    for (std::size_t first = 0; first < files.size(); first += kReadBatch) {
        const std::size_t n = std::min(kReadBatch, files.size() - first);
        for (std::size_t i = 0; i < n; ++i) read[i] = readFile(files[first + i].path, batch[i]);
        for (std::size_t i = 0; i < n; ++i) {
            if (!read[i]) continue;
            const platform::FoundFile& f = files[first + i];
            (void)parseAndRegister(batch[i], f.folder, f.name, searchPath);  // a fault is kept in faults()
        }
    }
}

void CharacterLibrary::readIndexFiles(std::string_view list) {
    const SearchPath searchPath(list);
    for (const platform::FoundFile& f : platform::FileFinder::instance().enumerateCategory("INDX", list)) {
        auto bytes = platform::readWholeFile(f.path);
        if (!bytes) continue;
        IndexFileContents index;
        (void)readIndexFile(*bytes, index);  // the pairs read before a bad field count
        auto note = [&](auto& table, const std::vector<IndexFileContents::Pair>& pairs) {
            for (const IndexFileContents::Pair& p : pairs) {
                auto [e, added] = table.tryEmplace(p.objectName);
                if (!added) continue;
                e.fileName = p.fileBaseName + ".bcf";
                e.directory = f.folder;
                e.searchPath = searchPath;
            }
        };
        note(skeletons_, index.skeletons);
        note(outfits_, index.outfits);
        note(animations_, index.animations);
    }
}

bool CharacterLibrary::loadFile(std::string_view directory, std::string_view fileName,
                                const SearchPath& searchPath, FormatStatus* status) {
    return loadPath(platform::joinPath(platform::toNativeSeparators(directory), fileName), directory,
                    fileName, searchPath, status);
}

bool CharacterLibrary::loadNewFile(std::string_view directory, std::string_view fileName,
                                   const SearchPath& searchPath) {
    return loadPath(platform::joinPath(platform::toNativeSeparators(directory), fileName), directory, fileName,
                    searchPath, nullptr, true);
}

bool CharacterLibrary::loadPath(const std::string& path, std::string_view directory,
                                std::string_view fileName, const SearchPath& searchPath,
                                FormatStatus* status, bool replacing) {
    std::vector<std::uint8_t> bytes;
    FormatStatus s = readFile(path, bytes) ? parseAndRegister(bytes, directory, fileName, searchPath, replacing)
                                           : FormatStatus::failure(0, "cannot be read");
    if (status) *status = s;
    return s.ok;
}

FormatStatus CharacterLibrary::parseAndRegister(const std::vector<std::uint8_t>& bytes,
                                                std::string_view directory, std::string_view fileName,
                                                const SearchPath& searchPath, bool replacing) {
    FormatStatus s = readCharacter(bytes, fileName, contents_);
    if (!s.ok) noteFault(platform::joinPath(platform::toNativeSeparators(directory), fileName), s);
    registerContents(contents_, directory, fileName, searchPath, replacing);
    // The table holds the objects now; the sweep counts on it holding the
    // only references.
    contents_.skeletons.clear();
    contents_.outfits.clear();
    contents_.animations.clear();
    return s;
}

bool CharacterLibrary::readFile(const std::string& path, std::vector<std::uint8_t>& into) {
    auto file = platform::fileSystem().open(path, platform::OpenMode::Read);
    if (!file) return false;
    auto size = file->size();
    if (!size) return false;
    into.resize(static_cast<std::size_t>(*size));
    return file->read(into.data(), into.size()) == into.size();
}

void CharacterLibrary::registerContents(const CharacterFileContents& contents, std::string_view directory,
                                        std::string_view fileName, const SearchPath& searchPath,
                                        bool replacing) {
    for (const Ref<Skeleton>& s : contents.skeletons) {
        s->searchPath = searchPath;
        registerObject(skeletons_, s->name(), s, directory, fileName, searchPath, replacing);
    }
    for (const Ref<Outfit>& o : contents.outfits) {
        o->searchPath = searchPath;
        registerObject(outfits_, o->name, o, directory, fileName, searchPath, replacing);
    }
    for (const Ref<Animation>& a : contents.animations) {
        a->searchPath = searchPath;
        registerObject(animations_, a->name, a, directory, fileName, searchPath, replacing);
    }
}

void CharacterLibrary::holdFiles(const platform::HeldFiles* files, const SearchPath& searchPath) {
    held_ = files;
    heldOutfits_.clear();
    if (!files) return;
    const std::vector<std::string> types = platform::FileFinder::instance().typesOf("ANIM");
    for (const platform::HeldFile* file : files->ofTypes(types)) {
        CharacterFileContents contents;
        // What read before a fault still counts.
        if (const FormatStatus s = readCharacter(file->bytes, file->name, contents); !s.ok) noteFault(file->name, s);
        for (Ref<Outfit>& o : contents.outfits) {
            const bool known = std::any_of(heldOutfits_.begin(), heldOutfits_.end(),
                                           [&o](const Ref<Outfit>& h) { return h->name == o->name; });
            if (known) continue;
            o->searchPath = searchPath;
            heldOutfits_.push_back(std::move(o));
        }
    }
}

template <typename T>
T* CharacterLibrary::find(Table<T>& table, std::string_view name) {
    LibraryEntry<T>* found = table.find(name);
    if (!found) return nullptr;
    LibraryEntry<T>& e = *found;  // entries never move, so this stays valid while the file registers
    if (!e.loaded) {
        onDemand = true;
        loadFile(e.directory, e.fileName, e.searchPath);
        onDemand = false;
        // Asked once: a file that lacks the object is not read again for it.
        e.loaded = true;
    }
    return e.object.get();
}

Skeleton* CharacterLibrary::findSkeleton(std::string_view name) {
    return find(skeletons_, name);
}

Outfit* CharacterLibrary::findOutfit(std::string_view name) {
    for (const Ref<Outfit>& held : heldOutfits_)
        if (held->name == name) return held.get();
    return find(outfits_, name);
}

Animation* CharacterLibrary::findAnimation(std::string_view name) {
    Animation* a = find(animations_, name);
    if (a) a->releaseTime = 0;
    return a;
}

Ref<SkinMesh> CharacterLibrary::findMesh(std::string_view name, std::string_view searchPath) const {
    const std::vector<std::string> types = meshTypes();
    if (held_)
        if (const platform::HeldFile* file = held_->find(name, types))
            return readMesh(file->bytes, file->type(), file->name);
    platform::FileFinder& finder = platform::FileFinder::instance();
    for (const std::string& type : types)
        if (auto path = finder.find(name, type, searchPath)) {
            auto bytes = platform::readWholeFile(*path);
            return bytes ? readMesh(*bytes, type, *path) : Ref<SkinMesh>();
        }
    return {};
}

Ref<SkinMesh> CharacterLibrary::readMesh(std::span<const std::uint8_t> bytes, std::string_view type,
                                         std::string_view file) const {
    Ref<SkinMesh> mesh;
    const FormatStatus status =
        type == "BMF" ? readSkinMeshBinary(bytes, mesh)
                      : readSkinMeshText({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, mesh);
    if (!status.ok) noteFault(file, status);  // and the mesh is none
    return mesh;
}

void CharacterLibrary::noteFault(std::string_view file, const FormatStatus& status) const {
    faults_.push_back({std::string(file), status});
}

void CharacterLibrary::sweep(TimeMs nowMs) {
    if (nowMs - lastSweepMs_ <= kSweepPeriodMs) return;
    lastSweepMs_ = nowMs;
    for (LibraryEntry<Animation>& e : animations_)
        if (e.object && expired(e, e.object->livePlaybacks, nowMs)) {
            e.object.reset();
            e.loaded = false;
        }
    for (LibraryEntry<Outfit>& e : outfits_)
        if (e.object && expired(e, e.object->wornCount, nowMs)) {
            e.object.reset();
            e.loaded = false;
        }
}

}  // namespace tryster::anim
