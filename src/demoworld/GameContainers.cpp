#include "demoworld/GameContainers.h"

#include "demoworld/DemoCatalog.h"

#include "exchange/AppearanceStrings.h"
#include "exchange/CatalogName.h"
#include "exchange/DateConstants.h"
#include "exchange/DateTemplate.h"
#include "exchange/ObjectDefinition.h"
#include "platform/FileSystem.h"
#include "resfile/IFFResFile2.h"
#include "resfile/StringSet.h"

#include <filesystem>

namespace tryster::demoworld {
namespace {

using namespace resfile;

// A character of the demo folder (or the program's template).
struct DemoCharacter {
    std::string_view file;  // below the game folder ('\' separators)
    std::string_view name;
    std::string_view description;
    bool adult;
    Gender gender;
    Build build;
    Tone tone;
    std::size_t body;     // index into bodyEntries()
    std::size_t clothes;  // of the body
    std::size_t head;     // index into headEntries()
    std::array<std::int32_t, kTraitCount> personality;  // by trait number
    int interestShift;    // the ranking is the interests rotated by this much
    std::int32_t careerTrack, careerLevel;
    std::uint32_t identifier;  // of the first object
    std::size_t size;          // of the file in bytes; 0 leaves it as it comes
    bool catalogText;          // also the old 'CATS' form of the name
};

// Bodies: 0 b003mafit, 1 b004mafat, 2 b005maskn, 3 b006fafit, 4 b007fafat,
// 5 b008faskn, 6 b001ucchd, 7 b101mcchd, 8 b102fcchd. Heads: 0 c011ma,
// 1 c012ma, 2 c021fa, 3 c022fa, 4 c201ma, 5 c202fa.
// Personality: Neat, Active, Playful, Outgoing, Nice.
constexpr DemoCharacter kTemplate = {
    "TR_Template.iff", "New Date", "A date made with Tryster.", true, Gender::Male, Build::Fit, Tone::Medium,
    0, 0, 0, {5, 5, 5, 5, 5}, 0, 12, 0, 0x54520001, 66000, false};

// Townies must be adults of at least 58000 bytes; the others show what is
// left out.
constexpr DemoCharacter kCharacters[] = {
    {"UserData\\Characters\\User00001.iff", "Arlo Finch", "Plays the trumpet badly and the piano well.", true,
     Gender::Male, Build::Fit, Tone::Medium, 0, 0, 1, {3, 6, 5, 8, 3}, 1, 1, 4, 0x41524C01, 60000, false},
    {"UserData\\Characters\\User00002.iff", "Nadia Brook", "Runs the bakery on the corner.", true, Gender::Female,
     Build::Fat, Tone::Dark, 4, 0, 2, {7, 4, 3, 5, 6}, 4, 0, 6, 0x4E414401, 58000, false},
    {"UserData\\Characters\\User00003.iff", "Dmitri Vale", "Just a byte too small to be a townie.", true,
     Gender::Male, Build::Skinny, Tone::Light, 2, 1, 0, {8, 2, 2, 6, 7}, 7, 8, 2, 0x444D4901, 57999, false},
    {"UserData\\Characters\\User00004.iff", "Poppy Lane", "Collects shiny stones.", false, Gender::Female,
     Build::Fit, Tone::Light, 8, 0, 5, {2, 8, 8, 4, 3}, 10, 12, 0, 0x504F5001, 61000, false},
    {"UserData\\Characters\\User00005.iff", "Milo Grant", "Wants a dog.", false, Gender::Male, Build::Fit,
     Tone::Medium, 7, 0, 4, {3, 9, 7, 3, 3}, 13, 12, 0, 0x4D494C01, 0, false},
    {"UserData\\Characters\\User00006.iff", "Greta Holm", "Knows every bird by its song.", true, Gender::Female,
     Build::Skinny, Tone::Medium, 5, 1, 3, {6, 5, 4, 4, 6}, 2, 8, 5, 0x47524501, 65000, false},
    {"TemplateNPCs\\GLM_Generic.iff", "Generic Date", "The game's own stand-in; never offered.", true,
     Gender::Male, Build::Fit, Tone::Light, 0, 1, 0, {5, 5, 5, 5, 5}, 0, 11, 1, 0x474C4D01, 64000, false},
    {"TemplateNPCs\\glm_generic.iff", "Not So Generic", "Named like the stand-in but for the letter case.", true,
     Gender::Female, Build::Fit, Tone::Medium, 3, 1, 3, {4, 6, 7, 5, 3}, 5, 1, 7, 0x676C6D01, 65000, false},
    {"TemplateNPCs\\Date_Jamie.iff", "Jamie Rook", "Fixes bicycles and hearts.", true, Gender::Male, Build::Fat,
     Tone::Dark, 1, 0, 1, {2, 7, 8, 6, 2}, 8, 9, 3, 0x4A414D01, 68000, true},
    {"TemplateNPCs\\Date_Rosa.iff", "Rosa Marsh", "Will beat you at chess.", true, Gender::Female, Build::Fit,
     Tone::Light, 3, 0, 2, {6, 3, 4, 7, 5}, 3, 8, 6, 0x524F5301, 63000, false},
    {"TemplateNPCs\\Date_Quinn.iff", "Quinn Avery", "Loves old films and new recipes.", true, Gender::Female,
     Build::Skinny, Tone::Medium, 5, 0, 3, {5, 4, 6, 5, 5}, 12, 1, 2, 0x51554901, 70000, false},
};

std::string_view genderWord(Gender g) {
    return g == Gender::Male ? "Male" : "Female";
}

// The strings of list 200 that the exporters read and rewrite, named so
// that every rewrite (another tone, another build) names outfits and
// textures of the folder.
std::vector<std::pair<int, std::string>> appearanceStrings(const DemoCharacter& c) {
    const BodyEntry& body = bodyEntries()[c.body];
    const HeadEntry& head = headEntries()[c.head];
    const std::string tone(toneCode(c.tone));
    const std::string build(c.adult ? buildCode(c.build) : "fit");
    const std::string hands = c.adult ? (c.gender == Gender::Male ? "hm" : "hf") : "hu";
    std::vector<std::pair<int, std::string>> s = {
        {1, c.adult ? "Adult" : "Child"},
        {2, std::string(body.outfit) + std::string(kBodySeparator) + bodyTextureName(body, c.tone, body.clothes[c.clothes])},
        {3, std::string(head.outfit) + std::string(kHeadSeparator) + headTextureName(head, c.tone)},
        {13, std::string(genderWord(c.gender))},
        {15, tone},
    };
    auto outfit = [&](std::string_view code) {
        return "u0" + build + "_" + std::string(code) + std::string(kBodySeparator) + "u0" + build + tone + "_" +
               std::string(code);
    };
    s.push_back({16, outfit("swim")});
    s.push_back({17, outfit("pjs")});
    s.push_back({28, outfit("formal")});
    for (int pair = 0; pair < 3; ++pair) {
        s.push_back({18 + 2 * pair, hands + "lo" + std::string(kHandSeparator) + "huao" + tone});
        s.push_back({19 + 2 * pair, hands + "ro" + std::string(kHandSeparator) + "huao" + tone});
    }
    return s;
}

PlomData recordOf(const DemoCharacter& c) {
    PlomData r;
    for (int t = 0; t < kTraitCount; ++t) r.setPersonality(t, c.personality[static_cast<std::size_t>(t)]);
    for (int place = 0; place < kInterestCount; ++place)
        r.setInterestRanking(place, (place + c.interestShift) % kInterestCount);
    r.setCareerTrack(c.careerTrack);
    r.setCareerLevel(c.careerLevel);
    return r;
}

// The character's head as a small picture: the face from its texture.
std::vector<std::uint8_t> portrait(const DemoCharacter& c) {
    const HeadEntry& head = headEntries()[c.head];
    const Picture face = paintHead(head.kind, c.tone, faceForTone(head.face, c.tone));
    constexpr int kSide = 48;
    Picture p(kSide, kSide);
    const int left = face.width / 2 - kSide / 2, top = face.height * 3 / 10 - kSide / 2 + 8;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) p.at(x, y) = face.at(left + x, top + y);
    return encodeBmp8(p);
}

class Edit {
public:
    explicit Edit(IFFResFile2& file) : file_(file) {}

    void check(ResError e) {
        if (error_ == kNoError) error_ = e;
    }
    ResError error() const { return error_; }

    void add(std::span<const std::uint8_t> bytes, ResType type, std::int16_t id, std::string_view name) {
        if (error_ != kNoError) return;
        DataHandle h = newHandleWith(bytes);
        if (!h) return check(LastHandleError());
        if (ResError e = file_.AddResource(h, type, id, name, true); e != kNoError) {
            (void)DisposeDataHandle(h);  // ours and live: it cannot fail
            return check(e);
        }
        check(file_.WriteResource(h));
        check(ReleaseAndDispose(file_, h));
    }

    // Object k gets the identifier + k (what the game knows it by) and the
    // file's name, as a copy of the template would.
    void identify(std::uint32_t identifier, std::string_view objectName) {
        const std::int16_t count = file_.CountResources(exchange::kTypeObjectDefinition);
        for (std::int16_t i = 1; i <= count && error_ == kNoError; ++i) {
            DataHandle h = file_.GetIndResource(exchange::kTypeObjectDefinition, i, nullptr);
            if (!h) return check(file_.lastError());
            if (!exchange::writeObjectField(handleBytes(h), exchange::kObjectIdentifierOffset, file_.IsNativeOrder(h),
                                            identifier + static_cast<std::uint32_t>(i - 1)))
                return check(kBadChunk);
            std::int16_t id = 0;
            check(file_.GetResID(h, id));
            check(file_.SetResInfo(h, id, objectName, 0));
            check(file_.WriteResource(h));
            check(ReleaseAndDispose(file_, h));
        }
    }

    void removeAll(ResType type) {
        while (error_ == kNoError && file_.CountResources(type) > 0) {
            DataHandle h = file_.GetIndResource(type, 1, nullptr);
            if (!h) return check(file_.lastError());
            check(file_.RemoveResource(h));
        }
    }

private:
    IFFResFile2& file_;
    ResError error_ = kNoError;
};

// The template builder's container, made into this character.
ResError writeCharacter(const std::string& path, const DemoCharacter& c, std::size_t fillerSize) {
    exchange::DateTemplateOptions options;
    options.catalogText = c.catalogText;
    options.fillerCount = fillerSize > 0 ? 1 : 0;
    options.fillerSize = fillerSize;
    if (ResError e = exchange::buildDateTemplate(path, options); e != kNoError) return e;

    IFFResFile2 file;
    if (ResError e = file.Open(path); e != kNoError) return e;
    Edit edit(file);
    const std::string_view fileName = c.file.substr(c.file.rfind('\\') + 1);
    edit.identify(c.identifier, fileName);
    if (!c.catalogText) {
        exchange::CatalogName catalog{std::string(c.name), std::string(c.description)};
        edit.check(catalog.save(file, exchange::kCatalogNameId));
    } else {
        // The older form only: name, zero, description, zero.
        DataHandle h = file.GetResource(exchange::kTypeCatalogText, exchange::kCatalogNameId, nullptr);
        if (h) edit.check(file.RemoveResource(h));
        std::string text = std::string(c.name) + '\0' + std::string(c.description) + '\0';
        edit.add({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, exchange::kTypeCatalogText,
                 exchange::kCatalogNameId, "");
    }
    exchange::cTreeConstants constants;
    edit.check(constants.load(file, exchange::kDateConstantsId));
    if (edit.error() == kNoError && !exchange::setDateConstants(constants, recordOf(c))) edit.check(kBadChunk);
    if (edit.error() == kNoError) edit.check(constants.save());

    StringSet list;
    edit.check(list.Load(&file, exchange::kAppearanceListId, false));
    for (const auto& [number, text] : appearanceStrings(c)) list.SetString(number, text);
    if (edit.error() == kNoError) edit.check(list.Save());

    edit.removeAll(exchange::kTypePicture);
    const std::vector<std::uint8_t> picture = portrait(c);
    edit.add(picture, exchange::kTypePicture, 1, "Portrait");
    const ResError closed = file.Close();
    return edit.error() != kNoError ? edit.error() : closed;
}

// Writes the character, with its file grown to the wanted size by filler
// (the layout is the same every time, so a few tries find the size). The
// file is made under a name of its own and then renamed, so that a name
// differing from another only in letter case is not taken for that one.
bool writeSized(const std::string& path, const DemoCharacter& c, std::string& error) {
    const std::string making = path + ".part";
    std::size_t filler = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::error_code ec;
        std::filesystem::remove(making, ec);
        if (ResError e = writeCharacter(making, c, filler); e != kNoError) {
            error = "cannot write " + path + " (error " + std::to_string(e.code()) + ")";
            return false;
        }
        const auto size = platform::fileSystem().fileSize(making);
        if (size && (c.size == 0 || *size == c.size)) {
            std::filesystem::rename(making, path, ec);
            if (!ec) return true;
            error = "cannot write " + path + ": " + ec.message();
            return false;
        }
        if (!size || *size > c.size + filler) break;
        filler = filler + c.size - *size;
    }
    error = "cannot make " + path + " " + std::to_string(c.size) + " bytes long";
    return false;
}

// The neighbourhood: its characters' files and names.
bool writeNeighbourhood(const std::string& path, std::string& error) {
    IFFResFile2 file;
    ResError e = file.Create(path);
    if (e == kNoError) e = file.Open(path);
    if (e == kNoError) {
        StringSet list;
        int n = 1;
        for (const DemoCharacter& c : kCharacters) {
            const std::string_view file_ = c.file;
            if (file_.find("UserData") != 0) continue;
            list.SetString(n++, std::string(file_.substr(file_.rfind('\\') + 1)) + " " + std::string(c.name));
        }
        list.setName("Neighbours");
        e = list.SaveAs(&file, 128);
    }
    const ResError closed = file.Close();
    if (e == kNoError) e = closed;
    if (e != kNoError) error = "cannot write " + path + " (error " + std::to_string(e.code()) + ")";
    return e == kNoError;
}

std::string below(const std::string& root, std::string_view path) {
    return platform::joinPath(root, platform::toNativeSeparators(path));
}

}  // namespace

bool writeGameContainers(const std::string& root, std::string& error) {
    for (const char* folder : {"UserData\\Characters", "TemplateNPCs"})
        if (!platform::fileSystem().createDirectories(below(root, folder))) {
            error = "cannot make " + below(root, folder);
            return false;
        }
    if (!writeNeighbourhood(below(root, "UserData\\Neighborhood.iff"), error)) return false;
    for (const DemoCharacter& c : kCharacters)
        if (!writeSized(below(root, c.file), c, error)) return false;
    return true;
}

bool writeTemplateFile(const std::string& path, std::string& error) {
    return writeSized(path, kTemplate, error);
}

}  // namespace tryster::demoworld
