#pragma once
// Reading and writing the skeleton, outfit and animation records. The two
// encodings lay the fields out in the same order, so each record is
// written once over a reader or writer of either encoding (see
// TextAssetReader, BinaryAssetReader and AssetWriters.h).

#include "anim/CharacterFile.h"
#include "anim/PropertyListCodec.h"
#include "platform/FileSystem.h"

namespace tryster::anim::records {

// Room for `count` records of at least `minBytes` each, no more than the
// bytes left could hold (counts come from the file).
template <typename Reader, typename T>
void reserveFor(const Reader& in, std::vector<T>& list, std::size_t count, std::size_t minBytes) {
    list.reserve(std::min(count, in.remaining() / minBytes));
}

// Reads the next record into `out`; false (and `out` unspecified) at the
// first bad field.
// About the fewest bytes a record takes (a binary record's fixed fields;
// text ones may be shorter, and then the list grows as it is read).
constexpr std::size_t kMinBoneBytes = 2 + 2 + 4 + 12 + 16 + 16 + 4;
constexpr std::size_t kMinPartBytes = 2 + 2 + 4 + 4;
constexpr std::size_t kMinTrackBytes = 1 + 4 + 4 + 4 + 4 + 4 + 4 + 4 + 4;
constexpr std::size_t kMinRecordBytes = 1 + 4 + 4;

template <typename Reader>
bool readBone(Reader& in, Bone& b) {
    return in.name(b.name, kLongNameLimit) && in.name(b.parentName, kLongNameLimit) &&
           readOptionalPropertyList(in, b.properties) && in.vector(b.translation) &&
           in.quaternion(b.rotation) && in.integer(b.canTranslate) && in.integer(b.canRotate) &&
           in.integer(b.canBlend) && in.integer(b.canWiggle) && in.real(b.wigglePower);
}

template <typename Reader>
bool readSkeleton(Reader& in, Ref<Skeleton>& out) {
    std::string name;
    std::size_t count;
    if (!in.name(name, kLongNameLimit) || !in.count(count)) return false;
    Ref<Skeleton> s = Skeleton::create(std::move(name));
    s->reserve(std::min(count, in.remaining() / kMinBoneBytes));
    for (std::size_t i = 0; i < count; ++i) {
        Bone b;
        if (!readBone(in, b)) return false;
        s->addBone(std::move(b));
    }
    out = std::move(s);
    return true;
}

template <typename Reader>
bool readOutfit(Reader& in, Ref<Outfit>& out) {
    Ref<Outfit> o = Outfit::create();
    std::size_t count;
    if (!in.name(o->name, kShortNameLimit) || !in.integer(o->type) ||
        !readOptionalPropertyList(in, o->properties) || !in.count(count))
        return false;
    // Folded in place, ASCII letters only (as platform::toLower).
    for (char& c : o->name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    reserveFor(in, o->parts, count, kMinPartBytes);
    for (std::size_t i = 0; i < count; ++i) {
        OutfitPart p;
        if (!in.name(p.boneName, kLongNameLimit) || !in.name(p.meshName, kLongNameLimit) ||
            !in.integer(p.censorFlags) || !readOptionalPropertyList(in, p.properties))
            return false;
        o->parts.push_back(std::move(p));
    }
    out = std::move(o);
    return true;
}

template <typename Reader>
bool readTimedPropertyList(Reader& in, Ref<TimedPropertyList>& out) {
    std::int32_t flag;
    std::size_t count;
    out.reset();
    if (!in.integer(flag)) return false;
    if (flag == 0) return true;
    if (!in.count(count)) return false;
    Ref<TimedPropertyList> list = TimedPropertyList::create();
    for (std::size_t i = 0; i < count; ++i) {
        std::int32_t time;
        Ref<PropertyList> properties;
        if (!in.integer(time) || !readPropertyList(in, properties)) return false;
        list->set(time, std::move(properties));
    }
    out = std::move(list);
    return true;
}

template <typename Reader>
bool readTrack(Reader& in, BoneTrack& t) {
    return in.name(t.boneName, kShortNameLimit) && in.integer(t.frameCount) && in.real(t.duration) &&
           in.integer(t.hasTranslation) && in.integer(t.hasRotation) && in.integer(t.translationOffset) &&
           in.integer(t.rotationOffset) && readOptionalPropertyList(in, t.properties) &&
           readTimedPropertyList(in, t.timedProperties);
}

template <typename Reader>
bool readAnimation(Reader& in, Ref<Animation>& out) {
    Ref<Animation> a = Animation::create();
    std::size_t count;
    if (!in.name(a->name, kShortNameLimit) || !in.name(a->dataName, kShortNameLimit) ||
        !in.real(a->duration) || !in.real(a->distance) || !in.integer(a->moving) ||
        !in.integer(a->translationCount) || !in.integer(a->rotationCount) || !in.count(count))
        return false;
    reserveFor(in, a->tracks, count, kMinTrackBytes);
    for (std::size_t i = 0; i < count; ++i) {
        BoneTrack t;
        if (!readTrack(in, t)) return false;
        a->tracks.push_back(std::move(t));
    }
    out = std::move(a);
    return true;
}

// Reads the three sections; the status names the record it stopped in.
template <typename Reader>
FormatStatus readSections(Reader& in, CharacterFileContents& out) {
    auto section = [&](const char* kind, auto& list, auto readOne) -> FormatStatus {
        std::size_t count;
        if (!in.count(count))
            return FormatStatus::failure(in.position(), std::string("no ") + kind + " count");
        reserveFor(in, list, count, kMinRecordBytes);
        for (std::size_t i = 0; i < count; ++i) {
            typename std::remove_reference_t<decltype(list)>::value_type record;
            if (!readOne(in, record))
                return FormatStatus::failure(in.position(), std::string("bad ") + kind + " " +
                                                                std::to_string(i + 1) + " of " +
                                                                std::to_string(count));
            list.push_back(std::move(record));
        }
        return {};
    };
    FormatStatus s = section("skeleton", out.skeletons, readSkeleton<Reader>);
    if (s.ok) s = section("outfit", out.outfits, readOutfit<Reader>);
    if (s.ok) s = section("animation", out.animations, readAnimation<Reader>);
    return s;
}

template <typename Writer>
bool writeSkeleton(Writer& w, const Skeleton& s) {
    if (!w.name(s.name(), kLongNameLimit)) return false;
    w.count(s.size());
    for (const Bone& b : s.bones()) {
        if (!w.name(b.name, kLongNameLimit) || !w.name(b.parentName, kLongNameLimit) ||
            !writeOptionalPropertyList(w, b.properties))
            return false;
        w.vector(b.translation);
        w.quaternion(b.rotation);
        for (std::int32_t v : {b.canTranslate, b.canRotate, b.canBlend, b.canWiggle}) w.integer(v);
        w.real(b.wigglePower);
    }
    return true;
}

template <typename Writer>
bool writeOutfit(Writer& w, const Outfit& o) {
    if (!w.name(o.name, kShortNameLimit)) return false;
    w.integer(o.type);
    if (!writeOptionalPropertyList(w, o.properties)) return false;
    w.count(o.parts.size());
    for (const OutfitPart& p : o.parts) {
        if (!w.name(p.boneName, kLongNameLimit) || !w.name(p.meshName, kLongNameLimit)) return false;
        w.integer(p.censorFlags);
        if (!writeOptionalPropertyList(w, p.properties)) return false;
    }
    return true;
}

template <typename Writer>
bool writeAnimation(Writer& w, const Animation& a) {
    if (!w.name(a.name, kShortNameLimit) || !w.name(a.dataName, kShortNameLimit)) return false;
    w.real(a.duration);
    w.real(a.distance);
    for (std::int32_t v : {a.moving, a.translationCount, a.rotationCount}) w.integer(v);
    w.count(a.tracks.size());
    for (const BoneTrack& t : a.tracks) {
        if (!w.name(t.boneName, kShortNameLimit)) return false;
        w.integer(t.frameCount);
        w.real(t.duration);
        for (std::int32_t v : {t.hasTranslation, t.hasRotation, t.translationOffset, t.rotationOffset})
            w.integer(v);
        if (!writeOptionalPropertyList(w, t.properties)) return false;
        w.integer(t.timedProperties ? 1 : 0);
        if (!t.timedProperties) continue;
        w.count(t.timedProperties->size());
        for (const TimedPropertyList::Entry& e : t.timedProperties->entries()) {
            w.integer(e.timeMs);
            if (!writePropertyList(w, *e.properties)) return false;
        }
    }
    return true;
}

template <typename Writer>
FormatStatus writeSections(Writer& w, const CharacterFileContents& c) {
    w.count(c.skeletons.size());
    for (const auto& s : c.skeletons)
        if (!writeSkeleton(w, *s))
            return FormatStatus::failure(0, "skeleton \"" + s->name() + "\": " + w.error());
    w.count(c.outfits.size());
    for (const auto& o : c.outfits)
        if (!writeOutfit(w, *o)) return FormatStatus::failure(0, "outfit \"" + o->name + "\": " + w.error());
    w.count(c.animations.size());
    for (const auto& a : c.animations)
        if (!writeAnimation(w, *a))
            return FormatStatus::failure(0, "animation \"" + a->name + "\": " + w.error());
    if (!w.ok()) return FormatStatus::failure(0, w.error());
    return {};
}

}  // namespace tryster::anim::records
