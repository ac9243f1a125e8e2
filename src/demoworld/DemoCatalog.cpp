#include "demoworld/DemoCatalog.h"

namespace tryster::demoworld {
namespace {

constexpr FigureKind kMan{Gender::Male, Build::Fit, false};
constexpr FigureKind kFatMan{Gender::Male, Build::Fat, false};
constexpr FigureKind kThinMan{Gender::Male, Build::Skinny, false};
constexpr FigureKind kWoman{Gender::Female, Build::Fit, false};
constexpr FigureKind kFatWoman{Gender::Female, Build::Fat, false};
constexpr FigureKind kThinWoman{Gender::Female, Build::Skinny, false};
constexpr FigureKind kBoy{Gender::Male, Build::Fit, true};
constexpr FigureKind kGirl{Gender::Female, Build::Fit, true};

// top, accent, pattern, long sleeves, bottom, shorts, shoes, socks
constexpr ClothesStyle style(std::uint32_t top, std::uint32_t accent, Pattern pattern, bool longSleeves,
                             std::uint32_t bottom, std::uint32_t shoes, bool shorts = false) {
    return {top, accent, pattern, longSleeves, bottom, shorts, shoes, 0xF0F0F0, false};
}

}  // namespace

std::string_view toneCode(Tone tone) {
    switch (tone) {
        case Tone::Light:
            return "lgt";
        case Tone::Medium:
            return "med";
        case Tone::Dark:
            break;
    }
    return "drk";
}

const std::vector<BodyEntry>& bodyEntries() {
    using enum Pattern;
    using enum BmpDepth;
    static const std::vector<BodyEntry> entries = {
        {"b003mafit_01", "B003MAFit", kMan,
         {{"bmoc", style(0x2E4FA0, 0xF2F2F2, Stripes, false, 0x2B3444, 0x4A2A12), Bits24},
          {"grnp", style(0x2E8B57, 0xF5E6A0, Emblem, false, 0xB59B6B, 0x222222), Bits8}}},
        {"b004mafat_01", "B004MAFat", kFatMan,
         {{"plad", style(0xB22222, 0x301010, Checks, true, 0x5A4632, 0x3A2A1A), Bits24},
          {"tees", style(0x8C8C8C, 0xF08020, Emblem, false, 0x2B3444, 0xE0E0E0), Bits8}}},
        {"b005maskn_01", "B005MASkn", kThinMan,
         {{"hood", style(0xE07020, 0xFFD070, Plain, true, 0x404040, 0x202020), Bits24},
          {"ltee", style(0x87B5E0, 0x20407A, Stripes, false, 0x7A6A50, 0x6A3A1A), Bits8}}},
        {"b006fafit_01", "B006FAFit", kWoman,
         {{"dots", style(0xF2C12E, 0xFFFFFF, Dots, false, 0x2860B0, 0xC02020), Bits24},
          {"strp", style(0xF08CB4, 0xFFFFFF, Stripes, false, 0x202020, 0x202020), Bits8}}},
        {"b007fafat_01", "B007FAFat", kFatWoman,
         {{"flwr", style(0x7A3FA0, 0xF0D0FF, Dots, false, 0x1F8A8A, 0x3A2A1A), Bits24},
          {"chek", style(0x3A9A4A, 0xFFFFFF, Checks, true, 0x3A3A3A, 0x202020), Bits8}}},
        {"b008faskn_01", "B008FASkn", kThinWoman,
         {{"sprt", style(0x1FA0A0, 0xFFFFFF, Emblem, false, 0x808080, 0xF0F0F0), Bits24},
          {"rose", style(0xC0283C, 0xFFC0C8, Plain, true, 0x303050, 0x202020), Bits8}}},
        {"b001ucchd_01", "B001UAChd", kBoy,
         {{"kid", style(0xD03030, 0xFFFFFF, Emblem, false, 0x3050A0, 0x303030, true), Bits24}}},
        {"b101mcchd_01", "B101MAChd", kBoy,
         {{"boy", style(0x40A040, 0xF0F0A0, Stripes, false, 0x6A5030, 0x202020, true), Bits8}}},
        {"b102fcchd_01", "B102FAChd", kGirl,
         {{"girl", style(0x9A4AC0, 0xFFFFFF, Dots, false, 0x9A4AC0, 0xC02020), Bits24}}},
    };
    return entries;
}

const std::vector<HeadEntry>& headEntries() {
    using enum HairStyle;
    using enum BmpDepth;
    static const std::vector<HeadEntry> entries = {
        {"c011ma_repo", "C011ma", "rotc", kMan, {0x5A3820, 0x3A6EB4, 0xA86458, Short, false}, Bits8},
        {"c012ma_beard", "C012ma", "brd", kMan, {0x2A2422, 0x5A3A1E, 0x9A5A50, Short, true}, Bits24},
        {"c021fa_long", "C021fa", "blnd", kWoman, {0xD8B060, 0x4A8A50, 0xC04858, Long, false}, Bits24},
        {"c022fa_bob", "C022fa", "red", kWoman, {0x9A3A1A, 0x5A3A1E, 0xB03848, Bob, false}, Bits8},
        {"c201ma_child", "C201ma", "child", kBoy, {0x6A4020, 0x5A3A1E, 0xB06A60, Short, false}, Bits8},
        {"c202fa_child", "C202fa", "child", kGirl, {0xC09040, 0x3A6EB4, 0xC06070, Long, false}, Bits24},
    };
    return entries;
}

const std::vector<HandEntry>& handEntries() {
    static const std::vector<HandEntry> entries = {
        {"hmlo", kMan, false, "HUAOmed"},  {"hmro", kMan, true, "HUAOmed"},
        {"hflo", kWoman, false, "HUAOmed"}, {"hfro", kWoman, true, "HUAOmed"},
        {"hulo", kBoy, false, "HUAOmed"},  {"huro", kBoy, true, "HUAOmed"},
        {"hulc", kBoy, false, "HUAClgt"},  {"hurc", kBoy, true, "HUAClgt"},
    };
    return entries;
}

const std::vector<HandTexture>& handTextures() {
    static const std::vector<HandTexture> textures = {
        {"HUAOlgt", Tone::Light, BmpDepth::Bits8},
        {"HUAOmed", Tone::Medium, BmpDepth::Bits8},
        {"HUAOdrk", Tone::Dark, BmpDepth::Bits8},
        {"HUAClgt", Tone::Light, BmpDepth::Bits24},
    };
    return textures;
}

std::string_view buildCode(Build build) {
    switch (build) {
        case Build::Fit:
            return "fit";
        case Build::Fat:
            return "fat";
        case Build::Skinny:
            break;
    }
    return "skn";
}

const std::vector<ExtraOutfitEntry>& extraOutfitEntries() {
    static const std::vector<ExtraOutfitEntry> entries = [] {
        std::vector<ExtraOutfitEntry> out;
        ClothesStyle swim = style(0, 0, Pattern::Plain, false, 0x1E6FD0, 0xE8C89A, true);
        swim.bareTop = true;
        const ClothesStyle pyjamas = style(0xA8C8F0, 0x4870B0, Pattern::Stripes, true, 0xA8C8F0, 0x8A5A3A);
        const ClothesStyle formal = style(0x23283A, 0xF4F4F4, Pattern::Plain, true, 0x23283A, 0x101010);
        for (Build b : {Build::Fit, Build::Fat, Build::Skinny}) {
            out.push_back({"swim", b, swim});
            out.push_back({"pjs", b, pyjamas});
            out.push_back({"formal", b, formal});
        }
        return out;
    }();
    return entries;
}

std::string extraOutfitName(const ExtraOutfitEntry& e) {
    return "u0" + std::string(buildCode(e.build)) + "_" + std::string(e.code);
}

std::string extraTextureName(const ExtraOutfitEntry& e, Tone tone) {
    return "u0" + std::string(buildCode(e.build)) + std::string(toneCode(tone)) + "_" + std::string(e.code);
}

const BodyEntry& manOfBuild(Build build) {
    for (const BodyEntry& b : bodyEntries())
        if (!b.kind.child && b.kind.gender == Gender::Male && b.kind.build == build) return b;
    return bodyEntries().front();
}

std::string bodyTextureName(const BodyEntry& body, Tone tone, const ClothesEntry& clothes) {
    return std::string(body.texturePrefix) + std::string(toneCode(tone)) + "_" + std::string(clothes.code);
}

std::string headTextureName(const HeadEntry& head, Tone tone) {
    return std::string(head.texturePrefix) + std::string(toneCode(tone)) + "_" + std::string(head.code);
}

std::string bodyMeshName(const BodyEntry& body) {
    return "xskin-" + std::string(body.outfit) + "-BODY";
}

std::string headMeshName(const HeadEntry& head) {
    return "xskin-" + std::string(head.outfit) + "-HEAD-HEAD";
}

std::string handMeshName(const HandEntry& hand) {
    return std::string(hand.outfit) + "-HAND";
}

FaceStyle faceForTone(const FaceStyle& face, Tone tone) {
    auto darken = [](std::uint32_t c, float k) {
        std::uint32_t out = 0;
        for (int shift = 16; shift >= 0; shift -= 8) {
            const auto v = static_cast<float>((c >> shift) & 255) * (1 - k) + 22 * k;
            out |= static_cast<std::uint32_t>(v + 0.5f) << shift;
        }
        return out;
    };
    FaceStyle f = face;
    if (tone == Tone::Medium) f.hair = darken(face.hair, 0.25f);
    if (tone == Tone::Dark) f.hair = darken(face.hair, 0.65f);
    return f;
}

}  // namespace tryster::demoworld
