#pragma once
// Checks shared by the animation fuzz targets: whatever a reader accepts
// must write back and read again to the same bytes, and what it hands to
// the per-frame code must hold up there.

#include "anim/CharacterFile.h"
#include "anim/PosedSkeleton.h"
#include "anim/SkinMeshFile.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tryster::fuzz {

inline void require(bool condition) {
    if (!condition) __builtin_trap();
}

// Writing what was read and reading it again changes nothing. Text can
// refuse some names (blank ones, line breaks); binary can always hold
// what it read.
inline void roundTripCharacters(const anim::CharacterFileContents& read, bool fromText) {
    std::vector<std::uint8_t> binary;
    anim::FormatStatus written = anim::writeCharacterBinary(read, binary);
    require(written.ok || fromText);
    if (written.ok) {
        anim::CharacterFileContents back;
        require(anim::readCharacterBinary(binary, back).ok);
        std::vector<std::uint8_t> again;
        require(anim::writeCharacterBinary(back, again).ok && again == binary);
    }
    std::string text;
    if (!anim::writeCharacterText(read, text).ok) return;
    anim::CharacterFileContents back;
    require(anim::readCharacterText(text, back).ok);
    std::string again;
    require(anim::writeCharacterText(back, again).ok && again == text);
}

inline void roundTripMesh(const anim::SkinMesh& mesh) {
    std::vector<std::uint8_t> binary;
    require(
        anim::writeSkinMeshBinary(mesh, binary).ok || mesh.name.size() > 255 ||
        mesh.textureName.size() > 255 ||
        std::any_of(mesh.boneNames.begin(), mesh.boneNames.end(), [](auto& n) { return n.size() > 255; }));
    if (!binary.empty()) {
        anim::Ref<anim::SkinMesh> back;
        require(anim::readSkinMeshBinary(binary, back).ok);
        std::vector<std::uint8_t> again;
        require(anim::writeSkinMeshBinary(*back, again).ok && again == binary);
    }
    std::string text;
    if (!anim::writeSkinMeshText(mesh, text).ok) return;
    anim::Ref<anim::SkinMesh> back;
    require(anim::readSkinMeshText(text, back).ok);
    std::string again;
    require(anim::writeSkinMeshText(*back, again).ok && again == text);
}

// Every index of the layout lies inside the mesh.
inline void checkLayout(const anim::SkinMesh& mesh) {
    const anim::SkinLayout& l = mesh.layout();
    const std::size_t v = mesh.vertices.size();
    require(l.rigidCount <= v);
    for (const auto& b : l.bindings) {
        require(b.boneName < mesh.boneNames.size());
        require(b.rigidFirst + std::size_t{b.rigidCount} <= l.rigidCount);
        require(b.blendedFirst >= l.rigidCount && b.blendedFirst + std::size_t{b.blendedCount} <= v);
    }
    for (const auto& e : l.blends)
        require(e.rigid < l.rigidCount && e.blended < v && e.blended >= l.rigidCount);
    for (std::uint16_t i : l.indices) require(i < v);
}

// Plays each animation on each skeleton through every loop mode, with
// pools filled to their counts (capped), over uneven times.
inline void playEverything(const anim::CharacterFileContents& c) {
    constexpr std::int32_t kPoolCap = 4096;
    for (const auto& a : c.animations) {
        std::vector<anim::Vector3> t(static_cast<std::size_t>(std::clamp(a->translationCount, 0, kPoolCap)),
                                     anim::Vector3{1, 2, 3});
        std::vector<anim::Quaternion> q(static_cast<std::size_t>(std::clamp(a->rotationCount, 0, kPoolCap)),
                                        anim::Quaternion{0, 0.6f, 0, 0.8f});
        a->setFrames(std::move(t), std::move(q));
        for (const auto& s : c.skeletons) {
            anim::PosedSkeleton pose(*s, nullptr);
            for (int mode = 0; mode < 4; ++mode) {
                anim::AnimationPlayback* p = pose.startPlayback(*a, mode, mode == 2 ? -1.5f : 1.0f, 0.5f, 0);
                p->setLoopMode(static_cast<anim::LoopMode>(mode));
                p->setFrameStep(mode);
            }
            for (anim::TimeMs time : {0, 7, 333, 2000, 1999, 90000, 90017}) pose.animate(time, true);
            pose.updateWorldPose();
        }
    }
}

}  // namespace tryster::fuzz
