// tryster-cli anim pose / anim skin: builds a character at clock 0, updates
// it to each given time (placement identity) and prints its bones, or the
// deformed vertices of every worn part.

#include "cli/AnimGame.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "cli/TextOutput.h"

#include "preview/PreviewCharacter.h"
#include "preview/PreviewSkin.h"

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include <cmath>
#include <map>
#include <memory>

namespace tryster::cli {
namespace {

struct PoseOptions {
    std::string game;
    std::string skeleton;
    std::vector<std::string> outfits;
    std::vector<std::string> overrides;
    std::string animation;
    std::string loop = "loop";
    float speed = 1.0f;
    float weight = 1.0f;
    std::vector<std::int64_t> times;
    bool json = false;
};

const std::map<std::string, anim::LoopMode> kLoopModes = {{"hold", anim::LoopMode::Hold},
                                                          {"loop", anim::LoopMode::Loop},
                                                          {"pingpong", anim::LoopMode::PingPong},
                                                          {"fadeout", anim::LoopMode::FadeOut}};

struct Posed {
    std::unique_ptr<preview::PreviewCharacter> character;
    anim::AnimationPlayback* playback = nullptr;
};

Posed build(anim::CharacterLibrary& library, const PoseOptions& o) {
    if (o.overrides.size() > o.outfits.size())
        throw CommandError("each --override goes with the --outfit of the same position");
    if (!std::isfinite(o.speed) || !std::isfinite(o.weight))
        throw CommandError("--speed and --weight must be numbers");
    Posed p;
    p.character = preview::PreviewCharacter::make(library, o.skeleton, {}, {}, 0);
    if (!p.character->skeleton()) throw CommandError(fmt::format("no skeleton named \"{}\"", o.skeleton));
    for (std::size_t i = 0; i < o.outfits.size(); ++i) {
        // Outfit names are kept in lower case.
        anim::Outfit* outfit = library.findOutfit(platform::toLower(o.outfits[i]));
        if (!outfit) throw CommandError(fmt::format("no outfit named \"{}\"", o.outfits[i]));
        p.character->putOn(*outfit, i < o.overrides.size() ? o.overrides[i] : std::string(), 0, -1);
    }
    if (!o.animation.empty()) {
        anim::Animation* a = library.findAnimation(o.animation);
        if (!a) throw CommandError(fmt::format("no animation named \"{}\"", o.animation));
        p.playback = p.character->startPlayback(*a, 1, o.speed, o.weight, 0);
        p.playback->setLoopMode(kLoopModes.at(o.loop));
        if (!a->framesLoaded())
            fmt::print(stderr, "tryster-cli: the frames of \"{}\" cannot be read; it moves nothing\n",
                       a->name);
    }
    return p;
}

FloatJson poseJson(const Posed& p, std::int64_t time) {
    const anim::PosedSkeleton& s = *p.character->skeleton();
    FloatJson out;
    out["time"] = time;
    out["phase"] = p.playback ? FloatJson(p.playback->phase()) : FloatJson();
    out["reachedEnd"] = p.playback ? FloatJson(p.playback->reachedEnd()) : FloatJson();
    out["bounds"] = toJson(s.bounds());
    FloatJson bones = FloatJson::array();
    for (std::size_t i = 0; i < s.boneCount(); ++i) {
        const auto b = static_cast<anim::BoneIndex>(i);
        const anim::Bone& bone = s.skeleton().bones()[i];
        bones.push_back(
            {{"name", utf8(bone.name)},
             {"parent", bone.parent == anim::kNoBone
                            ? FloatJson()
                            : FloatJson(utf8(s.skeleton().bones()[static_cast<std::size_t>(bone.parent)].name))},
             {"position", toJson(s.worldPosition(b))},
             {"rotation", toJson(s.worldRotation(b))}});
    }
    out["bones"] = std::move(bones);
    return out;
}

void printPose(const Posed& p, std::int64_t time) {
    const anim::PosedSkeleton& s = *p.character->skeleton();
    if (p.playback)
        fmt::print("time {} ms: phase {}, {}\n", time, p.playback->phase(),
                   p.playback->reachedEnd() ? "reached the end" : "playing");
    else
        fmt::print("time {} ms: no animation\n", time);
    const render::Box& b = s.bounds();
    fmt::print("  bounds ({}, {}, {}) to ({}, {}, {})\n", b.min.x, b.min.y, b.min.z, b.max.x, b.max.y,
               b.max.z);
    for (std::size_t i = 0; i < s.boneCount(); ++i) {
        const auto bi = static_cast<anim::BoneIndex>(i);
        const anim::Bone& bone = s.skeleton().bones()[i];
        const render::Vector3 v = s.worldPosition(bi);
        const render::Quaternion q = s.worldRotation(bi);
        fmt::print("  {} (parent {}): position ({}, {}, {}) rotation ({}, {}, {}, {})\n", bone.name,
                   bone.parent == anim::kNoBone
                       ? "none"
                       : s.skeleton().bones()[static_cast<std::size_t>(bone.parent)].name,
                   v.x, v.y, v.z, q.x, q.y, q.z, q.w);
    }
}

FloatJson skinJson(const Posed& p, std::int64_t time, bool json) {
    FloatJson parts = FloatJson::array();
    if (!json) fmt::print("time {} ms:\n", time);
    for (const auto& worn : p.character->skeleton()->wornOutfits())
        for (const anim::WornPart& part : worn->parts()) {
            const auto vertices = preview::PreviewSkin::of(*part.skin).renderMesh().vertices();
            if (!json) {
                fmt::print("  {} / {} / {}: {} vertices, {} rigid\n", worn->outfit().name,
                           part.part->boneName, part.part->meshName, vertices.size(),
                           part.skin->mesh().layout().rigidCount);
                for (std::size_t i = 0; i < vertices.size(); ++i) {
                    const auto& v = vertices[i];
                    fmt::print("    {}: position ({}, {}, {}) normal ({}, {}, {})\n", i, v.x, v.y, v.z, v.nx,
                               v.ny, v.nz);
                }
                continue;
            }
            FloatJson list = FloatJson::array();
            for (const auto& v : vertices)
                list.push_back({{"position", FloatJson::array({v.x, v.y, v.z})},
                                {"normal", FloatJson::array({v.nx, v.ny, v.nz})}});
            parts.push_back({{"outfit", worn->outfit().name},
                             {"bone", part.part->boneName},
                             {"mesh", part.part->meshName},
                             {"texture", part.skin->textureName()},
                             {"rigidCount", part.skin->mesh().layout().rigidCount},
                             {"vertices", std::move(list)}});
        }
    return {{"time", time}, {"parts", std::move(parts)}};
}

void run(const PoseOptions& options, bool skin) {
    AnimGame game(options.game, true);
    Posed p = build(game.library(), options);
    FloatJson all = FloatJson::array();
    for (std::int64_t t : options.times) {
        p.character->update(render::Matrix4::identity(), t);
        if (skin) {
            if (render::RenderResult rc = p.character->deformSkins())
                throw CommandError(fmt::format("skinning failed (error {:#x})", rc.code()));
            FloatJson frame = skinJson(p, t, options.json);
            if (options.json) all.push_back(std::move(frame));
        } else if (options.json) {
            all.push_back(poseJson(p, t));
        } else {
            printPose(p, t);
        }
    }
    if (options.json) printJson(all);
}

void addOptions(CLI::App& cmd, PoseOptions& o) {
    cmd.add_option("--game", o.game, "The game's install folder")->required();
    cmd.add_option("--skeleton", o.skeleton, "Skeleton name")->required();
    cmd.add_option("--outfit", o.outfits, "Outfit to put on (repeatable)");
    cmd.add_option(
        "--override", o.overrides,
        "KEY=TEXTURE for the outfit of the same position: parts whose mesh name holds KEY show TEXTURE");
    cmd.add_option("--anim", o.animation, "Animation to play from clock 0 (priority 1)");
    cmd.add_option("--loop", o.loop, "What the animation does at its end")
        ->check(CLI::IsMember({"hold", "loop", "pingpong", "fadeout"}))
        ->capture_default_str();
    cmd.add_option("--speed", o.speed, "Playback speed (negative plays backwards)")->capture_default_str();
    cmd.add_option("--weight", o.weight, "Playback weight")->capture_default_str();
    cmd.add_option("--times", o.times, "Clock times in ms, comma-separated, updated to in turn")
        ->required()
        ->delimiter(',');
    cmd.add_flag("--json", o.json, "Print JSON");
}

}  // namespace

void addAnimPoseCommands(CLI::App& anim) {
    auto pose = std::make_shared<PoseOptions>();
    CLI::App* cmd =
        anim.add_subcommand("pose", "Pose a character at given times and print its bones and bounds");
    addOptions(*cmd, *pose);
    cmd->callback([pose] { run(*pose, false); });

    auto skin = std::make_shared<PoseOptions>();
    cmd = anim.add_subcommand("skin", "Pose a character at given times and print its deformed vertices");
    addOptions(*cmd, *skin);
    cmd->callback([skin] { run(*skin, true); });
}

}  // namespace tryster::cli
