#include "resfile/StringSetBase.h"

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

#include <algorithm>
#include <cstring>

namespace tryster::resfile {
namespace {

constexpr std::int16_t kFormZeroTerminated = -1;
constexpr std::int16_t kFormPairs = -2;
constexpr std::int16_t kFormLanguages = -3;

struct ListEntry {
    std::uint8_t languageByte = 0;
    std::string text;
    std::string comment;
};

// Characters of the old length-prefixed form that the game shows otherwise.
void replaceOldCharacters(std::string& text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) == 0xA1) c = 'o';
        else if (static_cast<unsigned char>(c) == 0xD5) c = '\'';
    }
}

}  // namespace

void StringListLoader(std::uint8_t* data, std::size_t size) {
    if (size < 2) return;
    std::swap(data[0], data[1]);
    if (data[0] == 0xFF && data[1] == 0xFF && size >= 4) std::swap(data[2], data[3]);
}

void StringSetBase::Setup(iResFile* file, std::uint16_t id, ResType type, bool caretMode, int language) {
    file_ = file;
    id_ = id;
    type_ = type;
    caretMode_ = caretMode;
    language_ = language < 0 ? kDefaultLanguage : static_cast<std::uint8_t>(language);
}

ResError StringSetBase::Load(iResFile* file, std::uint16_t id, bool allLanguages) {
    Setup(file, id, kTypeStringList, false, kDefaultLanguage);
    ResError error = Read(allLanguages, true);
    if (error == kNoError) return kNoError;
    Setup(file, id, kTypeCaretText, true, kDefaultLanguage);
    return Read(allLanguages, true);
}

ResError StringSetBase::Read(bool allLanguages, bool fallback) {
    name_.clear();
    Clear();
    if (!file_ || !file_->IsOpen()) return kBadChunk;
    DataHandle handle = file_->GetResource(type_, static_cast<std::int16_t>(id_),
                                           caretMode_ ? nullptr : StringListLoader);
    if (!handle) return file_->lastError();
    (void)file_->GetResName(handle, name_);  // the file's own handle: it cannot fail
    std::span<const std::uint8_t> data = handleBytes(handle);
    ResError error = kNoError;
    if (caretMode_) parseCaret(data);
    else error = parseList(data, allLanguages, fallback);
    (void)ReleaseAndDispose(*file_, handle);  // the data is read; what the file keeps, it disposes
    return error;
}

void StringSetBase::parseCaret(std::span<const std::uint8_t> data) {
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    int number = 0;
    for (std::size_t pos = 0;;) {
        std::size_t open = text.find('^', pos);
        if (open == std::string_view::npos) return;
        std::size_t close = text.find('^', open + 1);
        if (close == std::string_view::npos) return;
        storePlain(++number, std::string(text.substr(open + 1, close - open - 1)));
        pos = close + 1;
    }
}

ResError StringSetBase::parseList(std::span<const std::uint8_t> data, bool allLanguages, bool fallback) {
    io::ByteReader r(data);
    std::int16_t form = 0;
    if (!r.i16le(form)) return kBadChunk;
    if (form >= 0) {
        for (int n = 1; n <= form; ++n) {
            std::uint8_t length = 0;
            std::string text;
            if (!r.u8(length) || !r.fixedString(length, text)) return kBadChunk;
            replaceOldCharacters(text);
            storePlain(n, std::move(text));
        }
        return kNoError;
    }
    std::uint16_t count = 0;
    if (form < kFormLanguages || !r.u16le(count)) return kBadChunk;
    if (form == kFormZeroTerminated || form == kFormPairs) {
        for (int n = 1; n <= count; ++n) {
            std::string text;
            std::string comment;
            if (!r.cstring(text) || (form == kFormPairs && !r.cstring(comment))) return kBadChunk;
            storePlain(n, std::move(text));
        }
        return kNoError;
    }

    std::vector<ListEntry> entries;
    ResError error = kNoError;
    for (int i = 0; i < count; ++i) {
        ListEntry e;
        if (!r.u8(e.languageByte) || !r.cstring(e.text) || !r.cstring(e.comment)) {
            error = kBadChunk;
            break;
        }
        entries.push_back(std::move(e));
    }
    // Numbers restart whenever the language changes from the entry stored
    // before.
    int stored = 0;
    int number = 0;
    int previous = -1;
    for (ListEntry& e : entries) {
        std::uint8_t language = e.languageByte == 0 ? language_ : static_cast<std::uint8_t>(e.languageByte - 1);
        if (language != language_ && !allLanguages) continue;
        number = language == previous ? number + 1 : 1;
        previous = language;
        ++stored;
        storeEntry(language, number, std::move(e.text), std::move(e.comment));
    }
    if (stored == 0 && fallback && count >= 1) {
        number = 0;
        for (ListEntry& e : entries)
            if (e.languageByte == 1) storeEntry(language_, ++number, std::move(e.text), std::move(e.comment));
    }
    return error;
}

void StringSetBase::storePlain(int number, std::string text) { SetString(number, text); }

void StringSetBase::storeEntry(std::uint8_t language, int number, std::string text, std::string) {
    SetString(number, text, language);
}

ResError StringSetBase::Save() {
    if (!file_) return kBadChunk;
    if (strings_.size() > 0xFFFF) return kBadChunk;
    // Room for 4 bytes per string beside its text: one more than the entry
    // needs, left zero.
    std::size_t size = 4;
    for (const std::string& s : strings_) size += s.size() + 4;
    DataHandle handle = NewDataHandle(size);
    if (!handle) return LastHandleError();
    io::ByteWriter w;
    w.i16le(kFormLanguages);
    w.u16le(static_cast<std::uint16_t>(strings_.size()));
    for (const std::string& s : strings_) {
        w.u8(static_cast<std::uint8_t>(language_ + 1));
        w.cstring(std::string_view(s.c_str()));
        w.u8(0);
    }
    std::memcpy(handleBytes(handle).data(), w.bytes().data(), w.size());
    return store(handle);
}

// A caret-text or typeless set is stored as "STR#". The handle is disposed
// on every path except a failed write, after which the file owns it.
ResError StringSetBase::store(DataHandle handle) {
    if (type_ == 0 || type_ == kTypeCaretText) {
        type_ = kTypeStringList;
        caretMode_ = false;
    }
    ResError error = file_->AddResource(handle, type_, static_cast<std::int16_t>(id_), name_, true);
    if (error != kNoError) {
        (void)DisposeDataHandle(handle);  // ours and live: it cannot fail
        return error;
    }
    if ((error = file_->WriteResource(handle)) != kNoError) return error;
    (void)ReleaseAndDispose(*file_, handle);  // the data is read; what the file keeps, it disposes
    return file_->lastError();
}

ResError StringSetBase::SaveAs(iResFile* file, std::uint16_t id) {
    file_ = file;
    id_ = id;
    type_ = kTypeStringList;
    caretMode_ = false;
    if (language_ >= 128) language_ = kDefaultLanguage;
    return Save();
}

int StringSetBase::Count(std::uint8_t language) const {
    return resolve(language) == language_ ? static_cast<int>(strings_.size()) : 0;
}

const std::string* StringSetBase::GetString(int number, std::uint8_t language) const {
    if (resolve(language) != language_ || number < 1 || number > Count()) return nullptr;
    return &strings_[static_cast<std::size_t>(number) - 1];
}

void StringSetBase::SetString(int number, std::string_view text, std::uint8_t language) {
    if (resolve(language) != language_ || number < 1 || number > Count() + 1) return;
    if (number == Count() + 1) strings_.emplace_back(text);
    else strings_[static_cast<std::size_t>(number) - 1] = text;
}

void StringSetBase::InsertString(int number, std::string_view text, std::uint8_t language) {
    if (resolve(language) != language_) return;
    number = std::clamp(number, 1, Count() + 1);
    strings_.insert(strings_.begin() + (number - 1), std::string(text));
}

const std::string* StringSetBase::FindString(int number, std::uint8_t& languageFound) const {
    for (int language = 0; language < kLanguageCount; ++language) {
        if (const std::string* s = GetString(number, static_cast<std::uint8_t>(language))) {
            languageFound = static_cast<std::uint8_t>(language);
            return s;
        }
    }
    return nullptr;
}

void StringSetBase::CopyFrom(const StringSetBase& other) {
    Clear();
    for (int n = 1; n <= other.Count(); ++n) SetString(n, *other.GetString(n));
    name_ = other.name_;
    file_ = nullptr;
    id_ = 0;
    type_ = 0;
}

void StringSetBase::Clear() { strings_.clear(); }

}  // namespace tryster::resfile
