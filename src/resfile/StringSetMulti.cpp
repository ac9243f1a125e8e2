#include "resfile/StringSetMulti.h"

#include "io/ByteWriter.h"

#include <algorithm>
#include <cstring>

namespace tryster::resfile {

std::vector<StringSetMulti::Entry>* StringSetMulti::list(std::uint8_t language) {
    language = resolve(language);
    return language < kLanguageCount ? &lists_[language] : nullptr;
}

const std::vector<StringSetMulti::Entry>* StringSetMulti::list(std::uint8_t language) const {
    language = resolve(language);
    return language < kLanguageCount ? &lists_[language] : nullptr;
}

void StringSetMulti::put(std::uint8_t language, int number, std::string text, std::string comment) {
    auto* l = list(language);
    if (!l || number < 1 || static_cast<std::size_t>(number) > l->size() + 1) return;
    if (static_cast<std::size_t>(number) == l->size() + 1) l->emplace_back(std::move(text), std::move(comment));
    else (*l)[static_cast<std::size_t>(number) - 1] = {std::move(text), std::move(comment)};
}

int StringSetMulti::Count(std::uint8_t language) const {
    const auto* l = list(language);
    return l ? static_cast<int>(l->size()) : 0;
}

const std::string* StringSetMulti::GetString(int number, std::uint8_t language) const {
    const auto* l = list(language);
    if (!l || number < 1 || static_cast<std::size_t>(number) > l->size()) return nullptr;
    return &(*l)[static_cast<std::size_t>(number) - 1].first;
}

const std::string* StringSetMulti::GetComment(int number, std::uint8_t language) const {
    const auto* l = list(language);
    if (!l || number < 1 || static_cast<std::size_t>(number) > l->size()) return nullptr;
    return &(*l)[static_cast<std::size_t>(number) - 1].second;
}

void StringSetMulti::SetString(int number, std::string_view text, std::uint8_t language) {
    const std::string* comment = GetComment(number, language);
    put(language, number, std::string(text), comment ? *comment : std::string());
}

void StringSetMulti::InsertString(int number, std::string_view text, std::uint8_t language) {
    auto* l = list(language);
    if (!l) return;
    number = std::clamp(number, 1, static_cast<int>(l->size()) + 1);
    l->insert(l->begin() + (number - 1), Entry{std::string(text), std::string()});
}

void StringSetMulti::CopyFrom(const StringSetBase& other) {
    const auto* multi = dynamic_cast<const StringSetMulti*>(&other);
    if (!multi) {
        StringSetBase::CopyFrom(other);
        return;
    }
    lists_ = multi->lists_;
    setName(multi->name());
    Setup(nullptr, 0, 0, false, language());
}

void StringSetMulti::Clear() {
    for (auto& l : lists_) l.clear();
    strings_.clear();
}

void StringSetMulti::storePlain(int number, std::string text) {
    if (language() != kDefaultLanguage) put(kDefaultLanguage, number, text, {});
    put(kOwnLanguage, number, std::move(text), {});
}

void StringSetMulti::storeEntry(std::uint8_t language, int number, std::string text, std::string comment) {
    put(language, number, std::move(text), std::move(comment));
}

ResError StringSetMulti::Save() {
    if (!file()) return kBadChunk;
    std::size_t count = 0;
    std::size_t size = 4;
    for (const auto& l : lists_) {
        count += l.size();
        for (const auto& [text, comment] : l) size += text.size() + comment.size() + 3;
    }
    if (count > 0xFFFF) return kBadChunk;
    io::ByteWriter w;
    w.i16le(-3);
    w.u16le(static_cast<std::uint16_t>(count));
    for (std::size_t language = 0; language < lists_.size(); ++language) {
        for (const auto& [text, comment] : lists_[language]) {
            w.u8(static_cast<std::uint8_t>(language + 1));
            w.cstring(std::string_view(text.c_str()));
            w.cstring(std::string_view(comment.c_str()));
        }
    }
    DataHandle handle = NewDataHandle(size);
    if (!handle) return LastHandleError();
    std::memcpy(handleBytes(handle).data(), w.bytes().data(), w.size());
    return store(handle);
}

}  // namespace tryster::resfile
