#include "share/PackManifest.h"

#include "formats/Json.h"
#include "platform/TextNoCase.h"
#include "share/PackLimits.h"

namespace tryster::share {
namespace {

using formats::JsonValue;

// A SHA-256 digest in hexadecimal, in either letter case: tools that
// print digests differ in that.
bool isDigest(std::string_view text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// Paths in the game's form: a manifest written by hand may use '/'.
std::string gameForm(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Longest name and description taken: the game's catalog keeps far less.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::size_t kMaxDescriptionBytes = 4096;

// Text shown to the player must not carry control characters, which a
// terminal would act on (C0, DEL and, as UTF-8, C1); `lines` lets line
// breaks and tabs through. The parser has checked the UTF-8 already.
bool isShowable(std::string_view text, bool lines) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == 0x7F) return false;
        if (b < 0x20 && !(lines && (b == '\n' || b == '\r' || b == '\t'))) return false;
        if (b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;
    }
    return true;
}

ManifestReading problem(std::string text) {
    ManifestReading out;
    out.problem = "the manifest " + std::move(text);
    return out;
}

}  // namespace

std::string encodeManifest(const PackManifest& manifest) {
    JsonValue root = JsonValue::object();
    root.add("format", JsonValue::of(kManifestFormat));
    root.add("version", JsonValue::of(manifest.version));
    JsonValue& date = root.add("date", JsonValue::object());
    date.add("name", JsonValue::of(manifest.name));
    date.add("description", JsonValue::of(manifest.description));
    date.add("gender", JsonValue::of(manifest.gender));
    JsonValue& files = root.add("files", JsonValue::array());
    for (const PackManifestFile& f : manifest.files) {
        JsonValue& entry = files.push(JsonValue::object());
        entry.add("path", JsonValue::of(f.path));
        entry.add("size", JsonValue::of(static_cast<std::int64_t>(f.size)));
        entry.add("sha256", JsonValue::of(f.sha256));
    }
    return formats::formatJson(root);
}

ManifestReading decodeManifest(std::string_view text) {
    std::string error;
    std::optional<JsonValue> root = formats::parseJson(text, error);
    if (!root) return problem("is " + error);
    const JsonValue* format = root->find("format");
    if (!format || !format->asString() || *format->asString() != kManifestFormat)
        return problem("does not describe a shared date (its \"format\" is not \"" + std::string(kManifestFormat) +
                       "\")");
    const JsonValue* version = root->find("version");
    if (!version || !version->asInteger() || *version->asInteger() < 1)
        return problem("has no version number");
    if (*version->asInteger() > kManifestVersion)
        return problem("is of version " + std::to_string(*version->asInteger()) +
                       ", made by a newer Tryster; this one reads version " + std::to_string(kManifestVersion));

    PackManifest manifest;
    manifest.version = *version->asInteger();
    const JsonValue* date = root->find("date");
    const JsonValue* name = date ? date->find("name") : nullptr;
    if (!name || !name->asString()) return problem("gives no name for the date");
    manifest.name = *name->asString();
    if (const JsonValue* d = date->find("description"); d && d->asString()) manifest.description = *d->asString();
    if (manifest.name.size() > kMaxNameBytes || !isShowable(manifest.name, false))
        return problem("gives a name that is too long or holds control characters");
    if (manifest.description.size() > kMaxDescriptionBytes || !isShowable(manifest.description, true))
        return problem("gives a description that is too long or holds control characters");
    if (const JsonValue* g = date->find("gender"); g && g->asString()) {
        if (!g->asString()->empty() && *g->asString() != "Male" && *g->asString() != "Female")
            return problem("gives the gender \"" + *g->asString() + "\" (not \"Male\" or \"Female\")");
        manifest.gender = *g->asString();
    }

    const JsonValue* files = root->find("files");
    if (!files || files->kind != JsonValue::Kind::Array) return problem("lists no files");
    if (files->items.size() > kMaxPackFiles)
        return problem("lists more than " + std::to_string(kMaxPackFiles) + " files");
    for (const JsonValue& item : files->items) {
        const JsonValue* path = item.find("path");
        const JsonValue* size = item.find("size");
        const JsonValue* digest = item.find("sha256");
        if (!path || !path->asString() || !size || !size->asInteger() || *size->asInteger() < 0 || !digest ||
            !digest->asString() || !isDigest(*digest->asString()))
            return problem("has a file without a path, a size or a SHA-256 digest of 64 hexadecimal digits");
        manifest.files.push_back({gameForm(*path->asString()), static_cast<std::uint64_t>(*size->asInteger()),
                                  platform::toLower(*digest->asString())});
    }
    ManifestReading out;
    out.manifest = std::move(manifest);
    return out;
}

}  // namespace tryster::share
