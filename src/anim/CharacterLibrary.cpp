#include "anim/CharacterLibrary.h"

#include "anim/IndexFile.h"
#include "anim/PreviewCharacter.h"
#include "anim/SkinInstance.h"
#include "anim/SkinMeshFile.h"
#include "platform/FileFinder.h"
#include "platform/FileSystem.h"

namespace tryster::anim {
namespace {

constexpr std::size_t kInitialBuckets = 100;

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
void registerObject(CharacterLibrary::Table<T>& table, std::string name, Ref<T> object, std::string_view directory,
                    std::string_view fileName, std::string_view searchPath) {
    auto [it, added] = table.try_emplace(name);
    LibraryEntry<T>& e = it->second;
    if (added) {
        e = {std::move(name), std::string(fileName), std::string(directory), std::string(searchPath), true,
             std::move(object)};
    } else if (!e.loaded) {
        e.object = std::move(object);
        e.loaded = true;
    }
    // A loaded entry keeps its object: the first definition read wins.
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
    : device_(device), skeletons_(kInitialBuckets), outfits_(kInitialBuckets), animations_(kInitialBuckets) {
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

void CharacterLibrary::loadCharacterFiles(std::string_view searchPath) {
    for (const platform::FoundFile& f : platform::FileFinder::instance().enumerateCategory("ANIM", searchPath))
        loadFile(f.folder, f.name, searchPath);
}

void CharacterLibrary::readIndexFiles(std::string_view searchPath) {
    for (const platform::FoundFile& f : platform::FileFinder::instance().enumerateCategory("INDX", searchPath)) {
        auto bytes = platform::readWholeFile(f.path);
        if (!bytes) continue;
        IndexFileContents index;
        (void)readIndexFile(*bytes, index);  // the pairs read before a bad field count
        auto note = [&](auto& table, const std::vector<IndexFileContents::Pair>& pairs) {
            for (const IndexFileContents::Pair& p : pairs) {
                auto [it, added] = table.try_emplace(p.objectName);
                if (!added) continue;
                it->second.name = p.objectName;
                it->second.fileName = p.fileBaseName + ".bcf";
                it->second.directory = f.folder;
                it->second.searchPath = std::string(searchPath);
            }
        };
        note(skeletons_, index.skeletons);
        note(outfits_, index.outfits);
        note(animations_, index.animations);
    }
}

bool CharacterLibrary::loadFile(std::string_view directory, std::string_view fileName, std::string_view searchPath,
                                FormatStatus* status) {
    const std::string path = platform::joinPath(platform::toNativeSeparators(directory), fileName);
    auto bytes = platform::readWholeFile(path);
    if (!bytes) {
        if (status) *status = FormatStatus::failure(0, "cannot be read");
        return false;
    }
    CharacterFileContents contents;
    FormatStatus s = platform::fileType(fileName) == "CMX"
                         ? readCharacterText({reinterpret_cast<const char*>(bytes->data()), bytes->size()}, contents)
                         : readCharacterBinary(*bytes, contents);
    registerContents(contents, directory, fileName, searchPath);
    if (status) *status = s;
    return s.ok;
}

void CharacterLibrary::registerContents(const CharacterFileContents& contents, std::string_view directory,
                                        std::string_view fileName, std::string_view searchPath) {
    for (const Ref<Skeleton>& s : contents.skeletons) {
        s->searchPath = std::string(searchPath);
        registerObject(skeletons_, s->name(), s, directory, fileName, searchPath);
    }
    for (const Ref<Outfit>& o : contents.outfits) {
        o->searchPath = std::string(searchPath);
        registerObject(outfits_, o->name, o, directory, fileName, searchPath);
    }
    for (const Ref<Animation>& a : contents.animations) {
        a->searchPath = std::string(searchPath);
        registerObject(animations_, a->name, a, directory, fileName, searchPath);
    }
}

template <typename T>
T* CharacterLibrary::find(Table<T>& table, std::string_view name) {
    auto it = table.find(std::string(name));
    if (it == table.end()) return nullptr;
    LibraryEntry<T>& e = it->second;  // entries are never erased, so this stays valid
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
    return find(outfits_, name);
}

Animation* CharacterLibrary::findAnimation(std::string_view name) {
    Animation* a = find(animations_, name);
    if (a) a->releaseTime = 0;
    return a;
}

Ref<SkinMesh> CharacterLibrary::findMesh(std::string_view name, std::string_view searchPath) const {
    platform::FileFinder& finder = platform::FileFinder::instance();
    Ref<SkinMesh> mesh;
    if (preferBinary)
        if (auto path = finder.find(name, "BMF", searchPath)) {
            if (auto bytes = platform::readWholeFile(*path)) (void)readSkinMeshBinary(*bytes, mesh);
            return mesh;
        }
    if (auto path = finder.find(name, "SKN", searchPath))
        if (auto bytes = platform::readWholeFile(*path))
            (void)readSkinMeshText({reinterpret_cast<const char*>(bytes->data()), bytes->size()}, mesh);
    return mesh;
}

void CharacterLibrary::sweep(TimeMs nowMs) {
    if (nowMs - lastSweepMs_ <= kSweepPeriodMs) return;
    lastSweepMs_ = nowMs;
    for (auto& [name, e] : animations_)
        if (e.object && expired(e, e.object->livePlaybacks, nowMs)) {
            e.object.reset();
            e.loaded = false;
        }
    for (auto& [name, e] : outfits_)
        if (e.object && expired(e, e.object->wornCount, nowMs)) {
            e.object.reset();
            e.loaded = false;
        }
}

}  // namespace tryster::anim
