#include "demoworld/Motions.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace tryster::demoworld {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr Vector3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};

using PoseAt = std::function<Pose(float t)>;  // t runs 0..1 over the animation

float ease(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// 0 → 1 over [0, rise], 1 until 1 − fall, back to 0 at the end.
float envelope(float t, float rise = 0.25f, float fall = 0.25f) {
    if (t < rise) return ease(t / rise);
    if (t > 1 - fall) return ease((1 - t) / fall);
    return 1;
}

struct Key {
    float t;
    Pose pose;
};

// Eased from key to key.
Pose keyed(const std::vector<Key>& keys, float t) {
    if (t <= keys.front().t) return keys.front().pose;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i)
        if (t <= keys[i + 1].t)
            return mixPoses(keys[i].pose, keys[i + 1].pose, ease((t - keys[i].t) / (keys[i + 1].t - keys[i].t)));
    return keys.back().pose;
}

// Breathing: the chest rises and falls, the shoulders with it.
void breathe(Pose& p, float t, int breaths, float depth = 1) {
    const float s = std::sin(2 * kPi * static_cast<float>(breaths) * t) * depth;
    p.add(BoneId::Spine, axisAngle(kX, -0.02f * s));
    p.add(BoneId::Chest, axisAngle(kX, -0.05f * s));
    p.add(BoneId::RightClavicle, axisAngle(kZ, 0.07f * s));
    p.add(BoneId::LeftClavicle, axisAngle(kZ, -0.07f * s));
    p.add(BoneId::Head, axisAngle(kX, 0.04f * s));
}

// The head turned aside (yaw, positive to the figure's left) and tilted,
// held, then back.
void lookAside(Pose& p, float t, float yaw, float tilt = 0.1f) {
    const float e = envelope(t, 0.22f, 0.22f);
    p.add(BoneId::Spine, axisAngle(kY, 0.12f * yaw * e));
    p.add(BoneId::Neck, axisAngle(kY, 0.35f * yaw * e));
    p.add(BoneId::Head, axisAngle(kY, 0.55f * yaw * e) * axisAngle(kZ, tilt * e));
}

// The weight shifted onto one leg, then the other (hips roll, the body
// stays upright above them).
void shiftWeight(Pose& p, float t, float amount) {
    const float s = std::sin(2 * kPi * t) * amount;
    p.add(BoneId::Pelvis, axisAngle(kZ, s));
    p.add(BoneId::LeftThigh, axisAngle(kZ, -s));
    p.add(BoneId::RightThigh, axisAngle(kZ, -s));
    p.add(BoneId::Spine, axisAngle(kZ, -0.6f * s));
    p.add(BoneId::Chest, axisAngle(kZ, -0.3f * s));
    p.add(BoneId::Head, axisAngle(kZ, 0.2f * s));
}

// A posture breathing, and a posture looking aside, over a whole animation.
PoseAt breathingIn(const Pose& posture) {
    return [posture](float t) {
        Pose p = posture;
        breathe(p, t, 1);
        return p;
    };
}

PoseAt lookingAside(const Pose& posture, float yaw, float tilt = 0.1f) {
    return [posture, yaw, tilt](float t) {
        Pose p = posture;
        lookAside(p, t, yaw, tilt);
        return p;
    };
}

// A pose with the arms set by `arms` on top of `base`'s body.
Pose reaching(const PoseSolver& solver, Pose base, const std::function<void(const PoseSolver&, Pose&)>& arms) {
    arms(solver, base);
    return base;
}

struct Clip {
    Clip(std::string n, MotionFile f, float ms, PoseAt p)
        : name(std::move(n)), file(f), durationMs(ms), pose(std::move(p)) {}

    std::string name;
    MotionFile file;
    float durationMs;
    PoseAt pose;
    std::function<Vector3(float t)> pelvisOffset;  // a translation track of the pelvis
    std::vector<std::pair<float, std::string>> sounds;  // t, sound file
    bool rawFrames = false;
};

Motion sample(const Clip& clip, const PoseSolver& solver) {
    const int frames = static_cast<int>(std::lround(clip.durationMs / 1000 * kFramesPerSecond)) + 1;
    std::vector<Pose> poses;
    for (int f = 0; f < frames; ++f) poses.push_back(clip.pose(static_cast<float>(f) / static_cast<float>(frames - 1)));

    Motion m;
    m.file = clip.file;
    m.rawFrames = clip.rawFrames;
    auto a = anim::Animation::create();
    a->name = clip.name;
    a->dataName = clip.name;
    a->duration = clip.durationMs;
    for (int b = 0; b < kBoneCount; ++b) {
        const auto bone = static_cast<BoneId>(b);
        anim::BoneTrack track;
        track.boneName = boneInfo(bone).name;
        track.frameCount = frames;
        track.duration = clip.durationMs;
        track.hasRotation = 1;
        track.rotationOffset = static_cast<std::int32_t>(m.frames.rotations.size());
        // Files keep the inverse of the turn.
        for (const Pose& p : poses) m.frames.rotations.push_back(math::conjugate(p[bone]));
        if (bone == BoneId::Pelvis && clip.pelvisOffset) {
            track.hasTranslation = 1;
            track.translationOffset = static_cast<std::int32_t>(m.frames.translations.size());
            const Vector3 rest = solver.rest()[0];
            for (int f = 0; f < frames; ++f)
                m.frames.translations.push_back(rest + clip.pelvisOffset(static_cast<float>(f) / static_cast<float>(frames - 1)));
        }
        if (bone == BoneId::Pelvis && !clip.sounds.empty()) {
            track.timedProperties = anim::TimedPropertyList::create();
            for (const auto& [t, file] : clip.sounds) {
                auto properties = anim::PropertyList::create();
                properties->set("sound", file);
                track.timedProperties->set(static_cast<std::int32_t>(std::lround(t * clip.durationMs)), properties);
            }
        }
        a->tracks.push_back(std::move(track));
    }
    a->translationCount = static_cast<std::int32_t>(m.frames.translations.size());
    a->rotationCount = static_cast<std::int32_t>(m.frames.rotations.size());
    m.record = std::move(a);
    return m;
}

// ---- the adult's animations -------------------------------------------

std::vector<Clip> adultClips(const PoseSolver& s) {
    using enum MotionFile;
    const Pose down = armsDown(), hips = handsOnHips(s), crossed = armsCrossed(s);
    std::vector<Clip> clips;

    // The greeting: the right hand raised and waved three times.
    auto waving = [&s, down](float swing) {
        return reaching(s, down, [swing](const PoseSolver& solver, Pose& p) {
            solver.reach(p, true, {0.95f + swing, 5.35f, 0.3f}, {1, -0.6f, -0.3f}, {0, 0, 1});
        });
    };
    clips.push_back(Clip{"a2o-heyyou1", Idles, 3000, [=](float t) {
                         Pose p;
                         if (t < 0.2f)
                             p = mixPoses(down, waving(0), ease(t / 0.2f));
                         else if (t < 0.8f)
                             p = waving(0.16f * std::sin(2 * kPi * 3 * (t - 0.2f) / 0.6f));
                         else
                             p = mixPoses(waving(0), down, ease((t - 0.8f) / 0.2f));
                         p.add(BoneId::Head, axisAngle(kZ, -0.12f * envelope(t, 0.2f, 0.2f)));
                         return p;
                     }});

    // Idles 1 to 8, each from arms down back to arms down.
    const Pose stretch = reaching(s, down, [](const PoseSolver& solver, Pose& p) {
        p.add(BoneId::Chest, axisAngle(kX, -0.12f));
        p.add(BoneId::Head, axisAngle(kX, -0.2f));
        for (bool right : {false, true}) {
            const float side = right ? 1.0f : -1.0f;
            solver.reach(p, right, {0.3f * side, 6.05f, 0.05f}, {side, 0, -0.3f}, {-side, 0.3f, 0});
        }
    });
    clips.push_back(Clip{"a2o-idle1", Idles, 4000, [=](float t) {
                         return keyed({{0, down}, {0.35f, stretch}, {0.62f, stretch}, {1, down}}, t);
                     }});
    const Pose shrug = reaching(s, down, [](const PoseSolver& solver, Pose& p) {
        p.add(BoneId::RightClavicle, axisAngle(kZ, 0.28f));
        p.add(BoneId::LeftClavicle, axisAngle(kZ, -0.28f));
        p.add(BoneId::Head, axisAngle(kZ, 0.16f));
        for (bool right : {false, true}) {
            const float side = right ? 1.0f : -1.0f;
            solver.reach(p, right, {0.85f * side, 3.35f, 0.4f}, {side, -1, -0.2f}, {0, 1, 0});
        }
    });
    clips.push_back(Clip{"a2o-idle2", Idles, 2500, [=](float t) {
                         return keyed({{0, down}, {0.3f, shrug}, {0.6f, shrug}, {1, down}}, t);
                     }});
    clips.push_back(Clip{"a2o-idle3", Idles, 4000, [=](float t) {
                         Pose p = down;
                         const float yaw = t < 0.5f ? 0.75f * envelope(t * 2, 0.4f, 0.3f)
                                                    : -0.75f * envelope(t * 2 - 1, 0.3f, 0.4f);
                         p.add(BoneId::Neck, axisAngle(kY, 0.35f * yaw));
                         p.add(BoneId::Head, axisAngle(kY, 0.65f * yaw));
                         return p;
                     }});
    const Pose watch = reaching(s, down, [](const PoseSolver& solver, Pose& p) {
        p.add(BoneId::Neck, axisAngle(kX, 0.15f));
        p.add(BoneId::Head, axisAngle(kX, 0.3f) * axisAngle(kY, -0.25f));
        solver.reach(p, false, {-0.1f, 3.85f, 0.5f}, {-1, -1, 0}, {0, -1, 0});
    });
    clips.push_back(Clip{"a2o-idle4", Idles, 3500, [=](float t) {
                         return keyed({{0, down}, {0.3f, watch}, {0.7f, watch}, {1, down}}, t);
                     }});
    const Pose behind = reaching(s, down, [](const PoseSolver& solver, Pose& p) {
        for (bool right : {false, true}) {
            const float side = right ? 1.0f : -1.0f;
            solver.reach(p, right, {0.12f * side, 2.85f, -0.34f}, {side, -0.2f, -0.3f}, {0, 0, -1});
        }
    });
    clips.push_back(Clip{"a2o-idle5", Idles, 4000, [=](float t) {
                         Pose p = keyed({{0, down}, {0.25f, behind}, {0.75f, behind}, {1, down}}, t);
                         p.add(BoneId::Pelvis, axisAngle(kX, 0.03f * std::sin(2 * kPi * 2 * t) * envelope(t)));
                         return p;
                     }});
    clips.push_back(Clip{"a2o-idle6", Idles, 3500, [=](float t) {
                         Pose p = down;
                         shiftWeight(p, t, 0.07f);
                         return p;
                     }});
    auto rubbing = [&s, down](float phase) {
        return reaching(s, down, [phase](const PoseSolver& solver, Pose& p) {
            p.add(BoneId::Head, axisAngle(kX, 0.22f));
            solver.reach(p, true, {0.14f + 0.04f * std::sin(phase), 4.5f + 0.04f * std::cos(phase), -0.14f},
                         {1, 0.6f, 0.4f}, {0, 0, -1});
        });
    };
    clips.push_back(Clip{"a2o-idle7", Idles, 3500, [=](float t) {
                         const float e = envelope(t, 0.28f, 0.28f);
                         return mixPoses(down, rubbing(2 * kPi * 4 * t), e);
                     }});
    auto scratching = [&s, down](float phase) {
        return reaching(s, down, [phase](const PoseSolver& solver, Pose& p) {
            p.add(BoneId::Head, axisAngle(kZ, -0.14f));
            solver.reach(p, true, {0.26f, 5.32f + 0.04f * std::sin(phase), 0.05f}, {1, 0.3f, -0.2f}, {-1, 0, 0});
        });
    };
    clips.push_back(Clip{"a2o-idle8", Idles, 3000, [=](float t) {
                         return mixPoses(down, scratching(2 * kPi * 6 * t), envelope(t, 0.3f, 0.3f));
                     }});

    // Arms down.
    Clip fidget{"a2o-idle-armsdown-fidget", Idles, 3500, [=](float t) {
                         Pose p = down;
                         // Three taps of the right foot's toe, the head nodding along.
                         const float beat = t > 0.2f && t < 0.8f ? std::sin(2 * kPi * 3 * (t - 0.2f) / 0.6f) : 0;
                         const float tap = std::max(0.0f, beat);
                         p.add(BoneId::RightFoot, axisAngle(kX, -0.4f * tap));
                         p.add(BoneId::Head, axisAngle(kX, 0.06f * tap));
                         shiftWeight(p, 0.25f * envelope(t), 0.05f);
                         return p;
                     }};
    // The sound as the toe first comes down.
    fidget.sounds = {{0.2f + 0.6f / 6, kTapSoundPath}};
    clips.push_back(fidget);
    clips.push_back(Clip{"a2o-idle-armsdown-lookoff", Idles, 4000, lookingAside(down, -0.8f)});
    clips.push_back(Clip{"a2o-idle-armsdown-breathe", Idles, 3000, breathingIn(down)});

    // Hands on hips.
    clips.push_back(Clip{"a2o-idle-transition-armsdown-handships", HandsOnHips, 1500,
                     [=](float t) { return mixPoses(down, hips, ease(t)); }});
    clips.push_back(Clip{"a2o-idle-handships-shiftside", HandsOnHips, 3500, [=](float t) {
                         Pose p = hips;
                         shiftWeight(p, t, 0.08f);
                         return p;
                     }});
    clips.push_back(Clip{"a2o-idle-handships-lookoff", HandsOnHips, 4000, lookingAside(hips, 0.8f, -0.1f)});
    Clip handsBreathe{"a2o-idle-handships-breathe", HandsOnHips, 3000, breathingIn(hips)};
    handsBreathe.rawFrames = true;
    clips.push_back(handsBreathe);
    // Between hips and crossed arms the hands pass in front of the belly.
    const Pose front = reaching(s, down, [](const PoseSolver& solver, Pose& p) {
        for (bool right : {false, true}) {
            const float side = right ? 1.0f : -1.0f;
            solver.reach(p, right, {0.42f * side, 3.2f, 0.6f}, {side, -0.5f, -0.2f}, {-side, 0, 0});
        }
    });
    clips.push_back(Clip{"a2o-idle-transition-handships-armscrossed", HandsOnHips, 1500,
                     [=](float t) { return keyed({{0, hips}, {0.45f, front}, {1, crossed}}, t); }});

    // Arms crossed.
    auto chinScratch = [&s, crossed](float phase) {
        return reaching(s, crossed, [phase](const PoseSolver& solver, Pose& p) {
            p.add(BoneId::Head, axisAngle(kX, -0.1f) * axisAngle(kZ, 0.08f));
            solver.reach(p, true, {0.04f + 0.025f * std::sin(phase), 4.5f, 0.46f}, {1, -1, 0.2f}, {0, 0, -1});
        });
    };
    clips.push_back(Clip{"a2o-idle-armscrossed-scratchchin", ArmsCrossed, 3500, [=](float t) {
                         return mixPoses(crossed, chinScratch(2 * kPi * 5 * t), envelope(t, 0.25f, 0.25f));
                     }});
    clips.push_back(Clip{"a2o-idle-armscrossed-lookoff", ArmsCrossed, 4000, lookingAside(crossed, 0.75f)});
    clips.push_back(Clip{"a2o-idle-armscrossed-breathe", ArmsCrossed, 3000, breathingIn(crossed)});
    clips.push_back(Clip{"a2o-idle-transition-armscrossed-armsdown", ArmsCrossed, 1500,
                     [=](float t) { return keyed({{0, crossed}, {0.5f, front}, {1, down}}, t); }});
    return clips;
}

// ---- the child's -------------------------------------------------------

Clip childFarewell(const PoseSolver& s) {
    const Pose down = armsDown(), crossed = armsCrossed(s);
    const Vector3 shoulder = s.rest()[static_cast<std::size_t>(index(BoneId::RightUpperArm))];
    const float w = shoulder.x;
    auto waving = [&s, down, shoulder, w](float swing) {
        return reaching(s, down, [=](const PoseSolver& solver, Pose& p) {
            solver.reach(p, true, shoulder + Vector3{(0.75f + swing) * w, 1.2f * w, 0.4f * w}, {1, -1, -0.3f},
                         {0, 0, 1});
        });
    };
    // Arms crossed and a shake of the head, a stamp, then a wave goodbye.
    Clip clip{"c2a-goodbye-refuse", MotionFile::Kids, 4000, [=](float t) {
                Pose p;
                if (t < 0.55f)
                    p = keyed({{0, down}, {0.12f, crossed}, {0.45f, crossed}, {0.55f, down}}, t);
                else if (t < 0.65f)
                    p = mixPoses(down, waving(0), ease((t - 0.55f) / 0.1f));
                else if (t < 0.88f)
                    p = waving(0.25f * std::sin(2 * kPi * 2 * (t - 0.65f) / 0.23f));
                else
                    p = mixPoses(waving(0), down, ease((t - 0.88f) / 0.12f));
                const float no = t > 0.12f && t < 0.45f ? std::sin(2 * kPi * 3 * (t - 0.12f) / 0.33f) : 0;
                p.add(BoneId::Head, axisAngle(kY, 0.45f * no));
                const float stamp = std::exp(-((t - 0.5f) * (t - 0.5f)) / 0.0008f);
                p.add(BoneId::RightThigh, axisAngle(kX, -0.35f * stamp));
                p.add(BoneId::RightCalf, axisAngle(kX, 0.5f * stamp));
                return p;
            }};
    // The body bobs down as the foot stamps.
    clip.pelvisOffset = [](float t) {
        const float stamp = std::exp(-((t - 0.52f) * (t - 0.52f)) / 0.0008f);
        return Vector3{0, -0.05f * stamp, 0};
    };
    return clip;
}

}  // namespace

std::vector<Motion> makeMotions() {
    const PoseSolver adult(kAdultJoints), child(kChildJoints);
    std::vector<Motion> motions;
    for (const Clip& c : adultClips(adult)) motions.push_back(sample(c, adult));
    motions.push_back(sample(childFarewell(child), child));
    return motions;
}

}  // namespace tryster::demoworld
