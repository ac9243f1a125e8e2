#include "exchange/DateTemplate.h"

#include "exchange/AppearanceStrings.h"
#include "exchange/CatalogName.h"
#include "exchange/CopyTemplate.h"
#include "exchange/DateConstants.h"
#include "exchange/ObjectDefinition.h"
#include "io/ByteWriter.h"
#include "resfile/IFFResFile2.h"
#include "resfile/StringSet.h"
#include "resfile/StringSetMulti.h"

#include <array>
#include <string>
#include <vector>

namespace tryster::exchange {

using namespace resfile;

namespace {

constexpr ResType kTypeVariants = makeType("TEXT");
constexpr ResType kTypeFiller = makeType("DATA");
constexpr int kAppearanceStringCount = 28;

// What the game's labels say, in constant order.
constexpr std::array<std::string_view, kDateConstantCount> kDateConstantLabels = {
    "Career Track", "Career Level", "Outgoing", "Neat",      "Active",   "Playful",  "Nice",   "Travel",
    "Money",        "Politics",     "60's Stuff", "Weather", "Sports",  "Music",    "Outdoors", "Exercise",
    "Food",         "Parties",      "Style",    "Hollywood", "Technology", "Romance"};

// The light, fit look of an adult male; the outfit strings carry their
// codes where the appearance writer puts them.
std::string appearanceString(int number) {
    switch (number) {
    case 1: return "Adult";
    case 2: return "b003mafit_01,BODY=B003MAFitlgt_bmoc";
    case 3: return "c011ma_repo,HEAD-HEAD=C011malgt_rotc";
    case 13: return "Male";
    case 15: return "lgt";
    case 16: return "u0fit_swim,BODY=u0fitlgt_swim";
    case 17: return "u0fit_pjs,BODY=u0fitlgt_pjs";
    case 18: return "hmlo,HAND=huaolgt";
    case 19: return "hmro,HAND=huaolgt";
    case 20: return "hmlp,HAND=huaplgt";
    case 21: return "hmrp,HAND=huaplgt";
    case 22: return "hmlc,HAND=huaclgt";
    case 23: return "hmrc,HAND=huaclgt";
    case 28: return "u0fit_formal,BODY=u0fitlgt_formal";
    default: return "entry " + std::to_string(number);
    }
}

class Builder {
public:
    explicit Builder(IFFResFile2& file) : file_(file) {}

    void add(std::vector<std::uint8_t> bytes, ResType type, std::int16_t id, std::string_view name) {
        addVariant(std::move(bytes), type, id, name, 0, 0);
    }
    // A non-zero variant goes beside its variant-0 twin through `spareId`.
    void addVariant(std::vector<std::uint8_t> bytes, ResType type, std::int16_t id, std::string_view name,
                    std::uint8_t variant, std::int16_t spareId) {
        if (error_ != kNoError) return;
        DataHandle h = newHandleWith(bytes);
        if (!h) {
            error_ = LastHandleError();
            return;
        }
        if (variant != 0) {
            if ((error_ = addBesideTwin(file_, h, type, id, spareId, name, variant, true)) != kNoError) return;
        } else if ((error_ = file_.AddResource(h, type, id, name, true)) != kNoError) {
            (void)DisposeDataHandle(h);  // ours and live: it cannot fail
            return;
        }
        if ((error_ = file_.WriteResource(h)) == kNoError) error_ = ReleaseAndDispose(file_, h);
    }
    void check(ResError error) {
        if (error_ == kNoError) error_ = error;
    }
    ResError error() const { return error_; }

private:
    IFFResFile2& file_;
    ResError error_ = kNoError;
};

std::vector<std::uint8_t> objectData(std::size_t size, std::uint32_t identifier) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    (void)writeObjectField(data, kObjectIdentifierOffset, true, identifier);  // a smaller object keeps none
    return data;
}

void addObjects(Builder& b, const DateTemplateOptions& o) {
    for (int i = 0; i < o.objectCount; ++i) {
        b.add(objectData(o.objectSize, kTemplateFirstIdentifier + static_cast<std::uint32_t>(i)), kTypeObjectDefinition,
              static_cast<std::int16_t>(kTemplateFirstObjectId + i), "Template object " + std::to_string(i));
    }
}

void addCatalog(Builder& b, IFFResFile2& file, const DateTemplateOptions& o) {
    StringSetMulti catalog;
    catalog.Setup(&file, static_cast<std::uint16_t>(kCatalogNameId), kTypeCatalogStrings, false, kDefaultLanguage);
    catalog.SetString(1, "Template", 0);
    catalog.SetString(2, "A date made from the template.", 0);
    catalog.SetString(1, "Modele", 1);
    catalog.SetString(2, "Un rendez-vous.", 1);
    b.check(catalog.Save());
    if (o.catalogText) {
        std::string_view text("Old name\0Old description\0", 25);
        b.add({text.begin(), text.end()}, kTypeCatalogText, kCatalogNameId, "");
    }
}

void addConstants(Builder& b, IFFResFile2& file, const DateTemplateOptions& o) {
    std::vector<cTreeConstants::Entry> entries(static_cast<std::size_t>(o.constantCount));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        cTreeConstants::Entry& e = entries[k];
        e.label = k < kDateConstantLabels.size() ? std::string(kDateConstantLabels[k]) : "Constant " + std::to_string(k);
        e.value = static_cast<std::uint16_t>(kTemplateConstantBase + k);
        e.number1 = static_cast<std::int32_t>(k);
        e.comment = "comment " + std::to_string(k);
        e.extraByte = 1;
        e.extraWord1 = 0;
        e.extraWord2 = 1000;
    }
    cTreeConstants constants;
    constants.create(file, kDateConstantsId, "Date constants", o.labelVersion, true, std::move(entries));
    b.check(constants.save());
}

void addStrings(Builder& b, IFFResFile2& file, const DateTemplateOptions& o) {
    if (o.appearanceList) {
        StringSet list;
        for (int n = 1; n <= kAppearanceStringCount; ++n) list.SetString(n, appearanceString(n));
        list.setName("Appearance");
        b.check(list.SaveAs(&file, kAppearanceListId));
    }
    b.add({kTemplateCaretText.begin(), kTemplateCaretText.end()}, kTypeCaretStrings, kTemplateCaretTextId,
          "Template text");
}

void addPicturesAndOthers(Builder& b, const DateTemplateOptions& o) {
    for (int i = 1; i <= o.pictureCount; ++i) {
        std::vector<std::uint8_t> picture = {'B', 'M'};
        picture.resize(64, static_cast<std::uint8_t>(i));
        b.add(std::move(picture), kTypePicture, static_cast<std::int16_t>(i), "Picture " + std::to_string(i));
    }
    for (int v = 0; v < kTemplateVariantCount; ++v) {
        std::string text = "variant " + std::to_string(v);
        b.addVariant({text.begin(), text.end()}, kTypeVariants, kTemplateVariantId, "Variants",
                     static_cast<std::uint8_t>(v), kTemplateVariantId + 1);
    }
    for (int i = 1; i <= o.fillerCount; ++i)
        b.add(std::vector<std::uint8_t>(o.fillerSize, static_cast<std::uint8_t>(i)), kTypeFiller,
              static_cast<std::int16_t>(i), "");
}

}  // namespace

ResError buildDateTemplate(std::string_view path, const DateTemplateOptions& options) {
    IFFResFile2 file;
    if (ResError error = file.Create(path); error != kNoError) return error;
    if (ResError error = file.Open(path); error != kNoError) return error;
    Builder b(file);
    addObjects(b, options);
    addCatalog(b, file, options);
    addConstants(b, file, options);
    addStrings(b, file, options);
    addPicturesAndOthers(b, options);
    ResError closed = file.Close();
    return b.error() != kNoError ? b.error() : closed;
}

}  // namespace tryster::exchange
