#pragma once
// String sets: the numbered, language-tagged text lists that the game keeps
// as string-list resources.
//
// Stored forms (the first signed 16-bit word, little-endian once loaded,
// selects the form):
//   n >= 1  n strings, each a length byte and its characters
//   -1      16-bit count, then that many zero-terminated strings
//   -2      16-bit count, then that many (text, comment) zero-terminated pairs
//   -3      16-bit count, then entries: language code + 1 (0 = the reading
//           set's language), text and comment, both zero-terminated.
//           The form written.
// The caret text form (type 0x00435354) is plain text in which each string
// lies between a '^' and the next '^'.
//
// Strings are numbered from 1. Language 255 in any argument means the set's
// own language; the default language is 0.

#include "resfile/iResFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tryster::resfile {

inline constexpr std::uint8_t kOwnLanguage = 255;
inline constexpr std::uint8_t kDefaultLanguage = 0;
inline constexpr int kLanguageCount = 20;

// The loader callback for string lists: the first word is byte-reversed,
// and the count word too when the first word then reads 0xFFFF.
void StringListLoader(std::uint8_t* data, std::size_t size);

class StringSetBase {
public:
    StringSetBase() = default;
    virtual ~StringSetBase() = default;

    // A negative language means the default.
    void Setup(iResFile* file, std::uint16_t id, ResType type, bool caretMode, int language);
    // Reads "STR#" `id` in the default language with the language-0
    // fallback, else the caret text form; the error of the last try.
    ResError Load(iResFile* file, std::uint16_t id, bool allLanguages);
    // kBadChunk without an open file or when the data ends inside a string
    // (the strings before it are kept); the file's error when the resource
    // is missing.
    ResError Read(bool allLanguages, bool fallback);
    // Replaces the resource with the set in the -3 form.
    virtual ResError Save();
    ResError SaveAs(iResFile* file, std::uint16_t id);

    virtual int Count(std::uint8_t language = kOwnLanguage) const;
    // Null when the number is outside 1..count or the language is not held.
    virtual const std::string* GetString(int number, std::uint8_t language = kOwnLanguage) const;
    // `number` from 1 to count + 1 (which appends); others are ignored.
    virtual void SetString(int number, std::string_view text, std::uint8_t language = kOwnLanguage);
    // `number` clamped to 1..count + 1; later strings move up by one.
    virtual void InsertString(int number, std::string_view text, std::uint8_t language = kOwnLanguage);
    // The first of languages 0..19 holding string `number`.
    const std::string* FindString(int number, std::uint8_t& languageFound) const;
    // Takes the other set's strings and name; forgets file, id and type.
    virtual void CopyFrom(const StringSetBase& other);
    virtual void Clear();

    iResFile* file() const { return file_; }
    std::uint16_t id() const { return id_; }
    ResType type() const { return type_; }
    bool caretMode() const { return caretMode_; }
    std::uint8_t language() const { return language_; }
    const std::string& name() const { return name_; }
    void setName(std::string_view name) { name_ = clipName(name); }

protected:
    std::uint8_t resolve(std::uint8_t language) const { return language == kOwnLanguage ? language_ : language; }
    // A string of the forms without languages (and caret text).
    virtual void storePlain(int number, std::string text);
    // An entry of the -3 form.
    virtual void storeEntry(std::uint8_t language, int number, std::string text, std::string comment);
    ResError store(DataHandle handle);

    std::vector<std::string> strings_;

private:
    ResError parseList(std::span<const std::uint8_t> data, bool allLanguages, bool fallback);
    void parseCaret(std::span<const std::uint8_t> data);

    iResFile* file_ = nullptr;
    std::string name_;
    std::uint16_t id_ = 0;
    ResType type_ = 0;
    bool caretMode_ = false;
    std::uint8_t language_ = kDefaultLanguage;
};

}  // namespace tryster::resfile
