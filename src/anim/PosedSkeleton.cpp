#include "anim/PosedSkeleton.h"

#include "anim/ForwardKinematics.h"
#include "anim/SkinInstance.h"

#include <algorithm>

namespace tryster::anim {
namespace {

// Owning priority of a bone that no exclusive playback drives.
constexpr int kUnowned = -10000;
// A bone's local box counts when its minimum lies below this.
constexpr float kValidBoxLimit = 1e6f;

}  // namespace

WornOutfit::WornOutfit(PosedSkeleton& skeleton, Outfit& outfit)
    : skeleton_(skeleton), outfit_(Ref<Outfit>::retain(&outfit)) {}

WornOutfit::~WornOutfit() = default;

PosedSkeleton::PosedSkeleton(const Skeleton& skeleton, SkinMaker* skins)
    : skeleton_(skeleton.copy()), skins_(skins) {
    const std::vector<Bone>& bones = skeleton_->bones();
    const std::size_t n = bones.size();
    parent_.reserve(n);
    canBlend_.reserve(n);
    translation_.reserve(n);
    rotation_.reserve(n);
    for (const Bone& b : bones) {
        parent_.push_back(b.parent);
        canBlend_.push_back(b.canBlend);
        translation_.push_back(b.translation);
        rotation_.push_back(b.rotation);
    }
    localChanged_.assign(n, 1);
    owningPriority_.assign(n, kUnowned);
    worldPosition_.resize(n);
    worldRotation_.resize(n);
    worldMatrix_.resize(n);
    boneRevision_.assign(n, 0);
    localBox_.resize(n);
}

PosedSkeleton::~PosedSkeleton() {
    while (!worn_.empty()) takeOff(worn_.back().get(), lastAnimateMs_);
    while (!playbacks_.empty()) stopPlayback(playbacks_.back().get(), lastAnimateMs_);
}

void PosedSkeleton::setTranslation(BoneIndex b, Vector3 t) {
    Vector3& current = translation_[index(b)];
    if (current == t) return;
    current = t;
    localChanged_[index(b)] = 1;
    poseChanged_ = true;
}

void PosedSkeleton::setRotation(BoneIndex b, Quaternion q) {
    Quaternion& current = rotation_[index(b)];
    if (current == q) return;
    current = q;
    localChanged_[index(b)] = 1;
    poseChanged_ = true;
}

AnimationPlayback* PosedSkeleton::startPlayback(Animation& animation, int priority, float speed, float weight,
                                                TimeMs startMs) {
    if (!animation.framesLoaded()) (void)animation.loadFrames();  // without frames it plays nothing
    auto playback = std::make_unique<AnimationPlayback>(*this, animation, priority, speed, weight, startMs);
    AnimationPlayback* handle = playback.get();
    auto at = std::find_if(playbacks_.begin(), playbacks_.end(),
                           [&](const auto& p) { return p->priority() > priority; });
    playbacks_.insert(at, std::move(playback));
    orderChanged_ = true;
    return handle;
}

bool PosedSkeleton::stopPlayback(AnimationPlayback* playback, TimeMs nowMs) {
    auto it = std::find_if(playbacks_.begin(), playbacks_.end(),
                           [&](const auto& p) { return p.get() == playback; });
    if (it == playbacks_.end()) return false;
    Ref<Animation> animation = Ref<Animation>::retain(&playback->animation());
    playbacks_.erase(it);
    orderChanged_ = true;
    if (animation->livePlaybacks == 0) animation->releaseTime = nowMs;
    return true;
}

void PosedSkeleton::resortPlaybacks() {
    // Stable insertion sort: the list is short and nearly always sorted
    // already, and this needs no scratch memory.
    for (auto it = playbacks_.begin(); it != playbacks_.end(); ++it) {
        auto at = std::upper_bound(playbacks_.begin(), it, (*it)->priority(),
                                   [](int priority, const auto& p) { return priority < p->priority(); });
        std::rotate(at, it, it + 1);
    }
    std::fill(owningPriority_.begin(), owningPriority_.end(), kUnowned);
    for (const auto& p : playbacks_)
        if (p->exclusive())
            for (const AnimationPlayback::Binding& b : p->bindings())
                owningPriority_[index(b.bone)] = p->priority();
    orderChanged_ = false;
}

void PosedSkeleton::animate(TimeMs t, bool apply, bool force) {
    if (!orderChanged_ && t == lastAnimateMs_ && !force) return;
    if (orderChanged_) resortPlaybacks();
    for (const auto& p : playbacks_) p->update(t, apply);
    lastAnimateMs_ = t;
}

WornOutfit* PosedSkeleton::putOn(Outfit& outfit, std::string_view override, int /*passThrough*/,
                                 int censorMask) {
    auto worn = std::make_unique<WornOutfit>(*this, outfit);
    for (OutfitPart& part : outfit.parts) {
        if (censorMask != -1 && (part.censorFlags & censorMask) == 0) continue;
        BoneIndex bone = findBone(part.boneName);
        if (bone == kNoBone || !skins_) continue;
        if (std::unique_ptr<SkinInstance> skin = skins_->makeSkin(*this, outfit, part, override))
            worn->parts().push_back({bone, &part, std::move(skin)});
    }
    ++outfit.wornCount;
    outfit.releaseTime = 0;
    outfitSetChanged_ = true;
    worn_.push_back(std::move(worn));
    return worn_.back().get();
}

bool PosedSkeleton::takeOff(WornOutfit* worn, TimeMs nowMs) {
    auto it = std::find_if(worn_.begin(), worn_.end(), [&](const auto& w) { return w.get() == worn; });
    if (it == worn_.end()) return false;
    // A skin leaves what draws it as it goes.
    for (WornPart& part : worn->parts()) part.skin.reset();
    Outfit& outfit = worn->outfit();
    if (--outfit.wornCount == 0) outfit.releaseTime = nowMs;
    worn_.erase(it);
    outfitSetChanged_ = true;
    return true;
}

void PosedSkeleton::updateWorldPose() {
    if (!poseChanged_) return;
    const LocalToWorldJob job{.parents = parent_,
                              .translations = translation_,
                              .rotations = rotation_,
                              .changed = localChanged_,
                              .revision = poseRevision_ + 1,
                              .boneRevisions = boneRevision_,
                              .worldPositions = worldPosition_,
                              .worldRotations = worldRotation_,
                              .worldMatrices = worldMatrix_};
    if (job.run()) poseRevision_ = job.revision;
    poseChanged_ = false;
}

void PosedSkeleton::updateLocalBounds() {
    if (!outfitSetChanged_) return;
    std::fill(localBox_.begin(), localBox_.end(), Box{});
    for (const auto& worn : worn_)
        for (const WornPart& part : worn->parts()) {
            const SkinMesh& mesh = part.skin->mesh();
            for (const SkinLayout::Range& range : mesh.layout().bindings) {
                Box& box = localBox_[index(part.skin->bones()[range.boneName])];
                for (std::uint32_t v = range.rigidFirst; v < range.rigidFirst + range.rigidCount; ++v)
                    box.extend(mesh.vertices[v].position);
            }
        }
    outfitSetChanged_ = false;
    boundsValid_ = false;
}

void PosedSkeleton::updateBounds() {
    if (boundsValid_ && boundsRevision_ == poseRevision_) return;
    Box all;
    for (const auto& worn : worn_)
        for (const WornPart& part : worn->parts()) {
            SkinInstance& skin = *part.skin;
            Box& skinBox = skin.box();
            skinBox = Box{};
            for (const SkinLayout::Range& range : skin.mesh().layout().bindings) {
                const std::size_t b = index(skin.bones()[range.boneName]);
                const Box& local = localBox_[b];
                if (!(local.min.x < kValidBoxLimit)) continue;
                for (int c = 0; c < 8; ++c) {
                    Vector3 corner = worldMatrix_[b].apply(local.corner(c)) + worldPosition_[b];
                    skinBox.extend(corner);
                }
            }
            all.unite(skinBox);
        }
    bounds_ = all.valid() ? all : Box{{0, 0, 0}, {0, 0, 0}};
    for (const auto& worn : worn_)
        for (const WornPart& part : worn->parts()) part.skin->setMeshBox(bounds_);
    boundsRevision_ = poseRevision_;
    boundsValid_ = true;
}

}  // namespace tryster::anim
