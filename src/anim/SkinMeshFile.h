#pragma once
// Mesh files: ".skn" text and ".bmf" binary. Both hold the same fields in
// the same order, except that a blend entry is (vertex, weight) in text and
// (weight, vertex) in binary. A mesh is complete or not read at all; a
// read mesh is prepared for skinning.

#include "anim/CharacterFile.h"
#include "anim/SkinMesh.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::anim {

[[nodiscard]] FormatStatus readSkinMeshText(std::string_view text, Ref<SkinMesh>& out);
[[nodiscard]] FormatStatus readSkinMeshBinary(std::span<const std::uint8_t> bytes, Ref<SkinMesh>& out);

[[nodiscard]] FormatStatus writeSkinMeshText(const SkinMesh& mesh, std::string& out);
[[nodiscard]] FormatStatus writeSkinMeshBinary(const SkinMesh& mesh, std::vector<std::uint8_t>& out);

}  // namespace tryster::anim
