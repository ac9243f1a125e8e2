// One frame of a character (update and skinning) with 5 000 vertices in 4
// outfits, and the pose and skinning jobs alone on the same data, against a
// plain copy of the same vertex data. Also counts the
// heap allocations per frame (none expected) and the bytes a worn vertex
// costs.

#include "../BenchRatios.h"

#include "anim/CharacterLibrary.h"
#include "anim/ForwardKinematics.h"
#include "anim/PreviewCharacter.h"
#include "anim/Skinning.h"
#include "render/AnimDevice.h"
#include "render/Device3D.h"
#include "softgpu/FrameFileWindow.h"

#include "support/AllocationCounter.h"

#include <cmath>
#include <cstring>

namespace {

using namespace tryster;

constexpr int kBones = 30;
constexpr int kOutfits = 4;
constexpr int kVerticesPerMesh = 1250;  // 5 000 in all
constexpr int kBlendedPerBone = 16;
constexpr int kFrames = 60;

anim::Ref<anim::Skeleton> skeleton() {
    auto s = anim::Skeleton::create("bench");
    for (int i = 0; i < kBones; ++i) {
        anim::Bone b;
        b.name = "B" + std::to_string(i);
        b.parentName = i ? "B" + std::to_string((i - 1) / 2) : "NULL";
        b.translation = {0.1f, 0.2f, 0};
        b.rotation = {0, 0, std::sin(0.05f * static_cast<float>(i)), std::cos(0.05f * static_cast<float>(i))};
        s->addBone(b);
    }
    return s;
}

// A mesh over 8 bones: per bone a run of rigid vertices and a few blended
// ones, each pulling a rigid vertex of the previous bone halfway.
anim::Ref<anim::SkinMesh> mesh(int outfit) {
    auto m = anim::SkinMesh::create();
    m->name = "mesh" + std::to_string(outfit);
    m->textureName = "none";
    constexpr int kMeshBones = 8;
    const int blended = kMeshBones * kBlendedPerBone;
    const int rigid = kVerticesPerMesh - blended;
    const int rigidPerBone = rigid / kMeshBones;
    for (int b = 0; b < kMeshBones; ++b) {
        m->boneNames.push_back("B" + std::to_string((outfit * 7 + b) % kBones));
        int count = b == kMeshBones - 1 ? rigid - rigidPerBone * b : rigidPerBone;
        m->bindings.push_back({b, rigidPerBone * b, count, kBlendedPerBone * b, kBlendedPerBone});
    }
    for (int v = 0; v < kVerticesPerMesh; ++v) {
        float f = static_cast<float>(v);
        m->vertices.push_back({{std::sin(f), std::cos(f), f * 0.001f}, {0, 0, 1}});
        if (v < rigid) m->texCoords.push_back({0.5f, 0.5f});
    }
    for (int k = 0; k < blended; ++k) m->blends.push_back({16384, (k * 37) % rigid});
    for (int v = 0; v + 2 < rigid; v += 1)
        m->faces.push_back({std::uint32_t(v), std::uint32_t(v + 1), std::uint32_t(v + 2)});
    m->prepare();
    return m;
}

anim::Ref<anim::Animation> animation() {
    auto a = anim::Animation::create();
    a->name = "loop";
    a->duration = 2000;
    std::vector<anim::Vector3> t;
    std::vector<anim::Quaternion> q;
    for (int b = 0; b < kBones; ++b) {
        anim::BoneTrack track;
        track.boneName = "B" + std::to_string(b);
        track.frameCount = kFrames;
        track.hasTranslation = 1;
        track.hasRotation = 1;
        track.translationOffset = track.rotationOffset = b * kFrames;
        a->tracks.push_back(track);
        for (int f = 0; f < kFrames; ++f) {
            float angle = 0.3f * std::sin(0.1f * static_cast<float>(f + b));
            t.push_back({0.1f, 0.2f + 0.01f * angle, 0});
            q.push_back({0, 0, std::sin(angle / 2), std::cos(angle / 2)});
        }
    }
    a->setFrames(std::move(t), std::move(q));
    return a;
}

class Rig {
public:
    Rig() : window_(std::string(), 64, 64) {
        (void)device_.initialise(&window_, false, false, 64, 64, 32, render::AnimDevice::kRgb, 0);
        (void)render::Device3D::create(device_, device3d_);
        render::Device3D::setCurrent(device3d_.get());
        library_ = std::make_unique<anim::CharacterLibrary>(device3d_.get());
        contents_.skeletons.push_back(skeleton());
        for (int o = 0; o < kOutfits; ++o) {
            auto outfit = anim::Outfit::create();
            outfit->name = "outfit" + std::to_string(o);
            anim::OutfitPart part;
            part.boneName = "B0";
            part.meshName = "mesh" + std::to_string(o);
            part.mesh = mesh(o);
            outfit->parts.push_back(part);
            contents_.outfits.push_back(outfit);
        }
        contents_.animations.push_back(animation());
        library_->registerContents(contents_, "", "bench", "");
    }
    ~Rig() {
        library_.reset();
        render::Device3D::setCurrent(nullptr);
    }

    std::unique_ptr<anim::PreviewCharacter> dress() {
        auto c = anim::PreviewCharacter::make(*library_, "bench", {}, "loop", 0);
        for (const auto& o : contents_.outfits) c->putOn(*o, {}, 0, -1);
        return c;
    }
    const anim::CharacterFileContents& contents() const { return contents_; }

private:
    softgpu::FrameFileWindow window_;
    render::AnimDevice device_;
    std::unique_ptr<render::Device3D> device3d_;
    std::unique_ptr<anim::CharacterLibrary> library_;
    anim::CharacterFileContents contents_;
};

void BM_FrameUpdateAndSkin(benchmark::State& state) {
    Rig rig;
    test::startCountingAllocations();
    auto character = rig.dress();
    const double setupBytes = static_cast<double>(test::stopCountingAllocations().bytes);
    const render::Matrix4 placement = render::Matrix4::translation({0, -1.75f, 0});
    anim::TimeMs t = 0;
    for (int i = 0; i < 10; ++i) {
        character->update(placement, t += 16);
        (void)character->deformSkins();
    }
    test::startCountingAllocations();
    for (auto _ : state) {
        character->update(placement, t += 16);
        benchmark::DoNotOptimize(character->deformSkins());
    }
    const long allocations = test::stopCountingAllocations().count;
    state.counters["allocsPerFrame"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
    state.counters["setupBytesPerVertex"] = setupBytes / (kOutfits * kVerticesPerMesh);
    state.counters["vertices"] = kOutfits * kVerticesPerMesh;
}

// Redrawing a paused preview: an update at the same time does nothing.
void BM_FramePaused(benchmark::State& state) {
    Rig rig;
    auto character = rig.dress();
    const render::Matrix4 placement = render::Matrix4::translation({0, -1.75f, 0});
    character->update(placement, 16);
    (void)character->deformSkins();
    for (auto _ : state) {
        character->update(placement, 16);
        benchmark::DoNotOptimize(character->deformSkins());
    }
}

// The same pose and skins as the frame, worked out by the jobs alone on
// spans: no character, no render mesh, no device.
void BM_PoseAndSkinJobs(benchmark::State& state) {
    const auto s = skeleton();
    const std::size_t n = s->size();
    std::vector<std::int32_t> parents;
    std::vector<anim::Vector3> translations;
    std::vector<anim::Quaternion> rotations;
    for (const anim::Bone& b : s->bones()) {
        parents.push_back(b.parent);
        translations.push_back(b.translation);
        rotations.push_back(b.rotation);
    }
    std::vector<std::uint8_t> changed(n, 1);
    std::vector<std::uint32_t> revisions(n, 0);
    std::vector<anim::Vector3> positions(n);
    std::vector<anim::Quaternion> worldRotations(n);
    std::vector<anim::Matrix3> matrices(n);
    std::vector<anim::Ref<anim::SkinMesh>> meshes;
    std::vector<std::vector<std::int32_t>> bones;
    std::vector<std::vector<platform::DeviceVertex>> out;
    for (int o = 0; o < kOutfits; ++o) {
        meshes.push_back(mesh(o));
        bones.emplace_back();
        for (const std::string& name : meshes.back()->boneNames) bones.back().push_back(s->findBone(name));
        out.emplace_back(meshes.back()->vertices.size());
    }
    std::uint32_t revision = 0;
    for (auto _ : state) {
        std::fill(changed.begin(), changed.end(), 1);
        const anim::LocalToWorldJob pose{.parents = parents,
                                         .translations = translations,
                                         .rotations = rotations,
                                         .changed = changed,
                                         .revision = ++revision,
                                         .boneRevisions = revisions,
                                         .worldPositions = positions,
                                         .worldRotations = worldRotations,
                                         .worldMatrices = matrices};
        benchmark::DoNotOptimize(pose.run());
        for (std::size_t o = 0; o < meshes.size(); ++o) {
            const anim::SkinningJob skin{.layout = &meshes[o]->layout(),
                                         .vertices = meshes[o]->vertices,
                                         .bones = bones[o],
                                         .worldPositions = positions,
                                         .worldMatrices = matrices,
                                         .out = out[o]};
            skin.run();
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.counters["vertices"] = kOutfits * kVerticesPerMesh;
}

void BM_CopyVertexData(benchmark::State& state) {
    Rig rig;
    std::vector<anim::SkinVertex> to(kOutfits * kVerticesPerMesh);
    for (auto _ : state) {
        anim::SkinVertex* out = to.data();
        for (const auto& o : rig.contents().outfits) {
            const auto& v = o->parts[0].mesh->vertices;
            std::memcpy(out, v.data(), v.size() * sizeof(anim::SkinVertex));
            out += v.size();
        }
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_FrameUpdateAndSkin)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FramePaused)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PoseAndSkinJobs)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CopyVertexData)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return tryster::bench::runWithRatios(
        argc, argv,
        {{"BM_FrameUpdateAndSkin", "BM_CopyVertexData", 10, 0, "frame update and skin / copy of the vertex data"},
         {"BM_PoseAndSkinJobs", "BM_CopyVertexData", 0, 0, "pose and skin jobs alone / copy of the vertex data"}});
}
