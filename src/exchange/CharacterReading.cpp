#include "exchange/CharacterReading.h"

#include "exchange/AppearanceStrings.h"
#include "exchange/CatalogName.h"
#include "exchange/ExchangeTexts.h"
#include "platform/FileSystem.h"
#include "resfile/ContainerFile.h"
#include "resfile/IFFResFile2.h"

namespace tryster::exchange {

using namespace resfile;

namespace {

constexpr int kAgeString = 1;
constexpr int kBodyString = 2;
constexpr int kHeadString = 3;
constexpr int kGenderString = 13;
constexpr int kToneString = 15;
// Where the texture name starts after the first comma: past ",BODY=" and
// ",HEAD-HEAD=".
constexpr std::size_t kBodyTextureSkip = 6;
constexpr std::size_t kHeadTextureSkip = 11;

std::string stringOf(const StringSet& strings, int number) {
    const std::string* s = strings.GetString(number);
    return s ? *s : std::string();
}

char firstLetter(std::string_view text) {
    char c = text.empty() ? '\0' : text.front();
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Mesh before the first comma, texture from `skip` characters after it;
// the texture is empty when the text ends before it or has no comma.
void split(const std::string& text, std::size_t skip, std::string& mesh, std::string& texture) {
    std::size_t comma = text.find(',');
    mesh = text.substr(0, comma);
    texture = comma != std::string::npos && text.size() - comma > skip ? text.substr(comma + skip) : std::string();
}

}  // namespace

Character lookFromStrings(const StringSet& strings) {
    Character look;
    PlomData& record = look.record;
    Appearance& names = look.appearance;
    names.isAdult = firstLetter(stringOf(strings, kAgeString)) == 'A';
    names.assign(defaultsOf(names.isAdult));
    record.setGender(firstLetter(stringOf(strings, kGenderString)) == 'M' ? kMale : kFemale);
    // The program writes the tone code in lower case ("lgt"), so the letter
    // is compared without regard to case.
    switch (firstLetter(stringOf(strings, kToneString))) {
    case 'L': record.setSkinTone(kLight); break;
    case 'M': record.setSkinTone(kMedium); break;
    default: record.setSkinTone(kDark); break;
    }
    const std::string body = platform::toLower(stringOf(strings, kBodyString));
    if (body.find("fit") != std::string::npos) record.setBodyType(kFit);
    else if (body.find("fat") != std::string::npos) record.setBodyType(kFat);
    else record.setBodyType(kSkinny);
    split(body, kBodyTextureSkip, names.bodyMesh, names.bodyTexture);
    split(platform::toLower(stringOf(strings, kHeadString)), kHeadTextureSkip, names.headMesh, names.headTexture);
    return look;
}

CharacterReading readCharacter(std::string_view path) {
    CharacterReading reading;
    IFFResFile2 file;
    file.setOpenReadOnly(true);
    if ((reading.openError = file.Open(path)) != kNoError) return reading;
    reading = readCharacter(file);
    (void)file.Close();  // only read: nothing to write
    return reading;
}

CharacterReading readCharacter(iResFile& file) {
    CharacterReading reading;
    reading.opened = true;
    if (const auto* container = dynamic_cast<const ContainerFile*>(&file)) reading.damage = container->damage();
    CatalogName catalog;
    (void)catalog.load(file, kCatalogNameId);  // a file without one shows an empty name
    reading.name = catalog.name;
    StringSet strings;
    if (strings.Load(&file, kAppearanceListId, false) == kNoError) {
        reading.ageText = stringOf(strings, kAgeString);
        reading.genderText = stringOf(strings, kGenderString);
        reading.look = lookFromStrings(strings);
    }
    return reading;
}

ExtraPanelText extraPanelText(const CharacterReading& reading) {
    ExtraPanelText text;
    text.name = reading.opened ? reading.name : std::string(kUnknownCharacter);
    text.age = reading.look ? withCapital(reading.ageText) : std::string(kUnknownAge);
    text.gender = reading.look ? withCapital(reading.genderText) : std::string(kUnknownGender);
    return text;
}

std::string loadedWindowTitle(const CharacterReading& reading) {
    return reading.opened ? reading.name + std::string(kLoadedTitleSuffix) : std::string(kFigurantTitle);
}

std::string withCapital(std::string_view text) {
    std::string out(text);
    if (!out.empty()) out.front() = firstLetter(out);
    return out;
}

}  // namespace tryster::exchange
