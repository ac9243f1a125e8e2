#include "anim/SkinMeshFile.h"

#include "anim/AssetWriters.h"
#include "anim/BinaryAssetReader.h"
#include "anim/TextAssetReader.h"

namespace tryster::anim {
namespace {

enum class BlendOrder { VertexFirst, WeightFirst };

// Names of the sections, for messages.
constexpr const char* kSections[] = {
    "names", "bone names", "faces", "bindings", "texture coordinates", "blend entries", "vertices"};

template <typename Reader>
FormatStatus readMesh(Reader& in, BlendOrder order, Ref<SkinMesh>& out) {
    Ref<SkinMesh> m = SkinMesh::create();
    int section = 0;
    auto fail = [&] {
        return FormatStatus::failure(in.position(), std::string("bad ") + kSections[section]);
    };
    std::size_t n;
    if (!in.name(m->name, kLongNameLimit) || !in.name(m->textureName, kLongNameLimit)) return fail();

    ++section;
    if (!in.count(n)) return fail();
    // A bone named twice keeps its first index; bindings are renumbered.
    std::vector<std::uint32_t> boneIndex;
    for (std::size_t i = 0; i < n; ++i) {
        std::string boneName;
        if (!in.name(boneName, kLongNameLimit)) return fail();
        boneIndex.push_back(m->addBoneName(std::move(boneName)));
    }

    ++section;
    if (!in.count(n)) return fail();
    for (std::size_t i = 0; i < n; ++i) {
        std::int32_t a, b, c;
        if (!in.integer(a) || !in.integer(b) || !in.integer(c)) return fail();
        m->faces.push_back(
            {static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b), static_cast<std::uint32_t>(c)});
    }

    ++section;
    if (!in.count(n)) return fail();
    for (std::size_t i = 0; i < n; ++i) {
        BoneBinding b;
        if (!in.integer(b.bone) || !in.integer(b.firstRigid) || !in.integer(b.rigidCount) ||
            !in.integer(b.firstBlended) || !in.integer(b.blendedCount))
            return fail();
        if (b.bone >= 0 && static_cast<std::size_t>(b.bone) < boneIndex.size())
            b.bone = static_cast<std::int32_t>(boneIndex[static_cast<std::size_t>(b.bone)]);
        m->bindings.push_back(b);
    }

    ++section;
    if (!in.count(n)) return fail();
    for (std::size_t i = 0; i < n; ++i) {
        TexCoord t;
        if (!in.real(t.u) || !in.real(t.v)) return fail();
        m->texCoords.push_back(t);
    }

    ++section;
    if (!in.count(n)) return fail();
    for (std::size_t i = 0; i < n; ++i) {
        BlendEntry e;
        bool ok = order == BlendOrder::VertexFirst ? in.integer(e.vertex) && in.integer(e.weight)
                                                   : in.integer(e.weight) && in.integer(e.vertex);
        if (!ok) return fail();
        m->blends.push_back(e);
    }

    ++section;
    if (!in.count(n)) return fail();
    for (std::size_t i = 0; i < n; ++i) {
        SkinVertex v;
        if (!in.real(v.position.x) || !in.real(v.position.y) || !in.real(v.position.z) ||
            !in.real(v.normal.x) || !in.real(v.normal.y) || !in.real(v.normal.z))
            return fail();
        m->vertices.push_back(v);
    }

    m->prepare();
    out = std::move(m);
    return {};
}

template <typename Writer>
FormatStatus writeMesh(Writer& w, const SkinMesh& m, BlendOrder order) {
    auto fail = [&] { return FormatStatus::failure(0, "mesh \"" + m.name + "\": " + w.error()); };
    if (!w.name(m.name, kLongNameLimit) || !w.name(m.textureName, kLongNameLimit)) return fail();
    w.count(m.boneNames.size());
    for (const std::string& b : m.boneNames)
        if (!w.name(b, kLongNameLimit)) return fail();
    w.count(m.faces.size());
    for (const auto& f : m.faces)
        for (std::uint32_t i : f) w.integer(static_cast<std::int32_t>(i));
    w.count(m.bindings.size());
    for (const BoneBinding& b : m.bindings)
        for (std::int32_t v : {b.bone, b.firstRigid, b.rigidCount, b.firstBlended, b.blendedCount})
            w.integer(v);
    w.count(m.texCoords.size());
    for (const TexCoord& t : m.texCoords) {
        w.real(t.u);
        w.real(t.v);
    }
    w.count(m.blends.size());
    for (const BlendEntry& e : m.blends) {
        w.integer(order == BlendOrder::VertexFirst ? e.vertex : e.weight);
        w.integer(order == BlendOrder::VertexFirst ? e.weight : e.vertex);
    }
    w.count(m.vertices.size());
    for (const SkinVertex& v : m.vertices)
        for (float f : {v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z})
            w.real(f);
    if (!w.ok()) return fail();
    return {};
}

}  // namespace

FormatStatus readSkinMeshText(std::string_view text, Ref<SkinMesh>& out) {
    TextAssetReader in(text);
    return readMesh(in, BlendOrder::VertexFirst, out);
}

FormatStatus readSkinMeshBinary(std::span<const std::uint8_t> bytes, Ref<SkinMesh>& out) {
    BinaryAssetReader in(bytes);
    return readMesh(in, BlendOrder::WeightFirst, out);
}

FormatStatus writeSkinMeshText(const SkinMesh& mesh, std::string& out) {
    TextAssetWriter w;
    FormatStatus s = writeMesh(w, mesh, BlendOrder::VertexFirst);
    if (s.ok) out = std::move(w.text());
    return s;
}

FormatStatus writeSkinMeshBinary(const SkinMesh& mesh, std::vector<std::uint8_t>& out) {
    BinaryAssetWriter w;
    FormatStatus s = writeMesh(w, mesh, BlendOrder::WeightFirst);
    if (s.ok) out = w.bytes().take();
    return s;
}

}  // namespace tryster::anim
