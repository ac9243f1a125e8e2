#pragma once
// A string set holding languages 0..19 side by side, each string with its
// comment. Reading with all languages keeps every -3 entry in its own
// language; strings of the other forms go to the set's language and also to
// language 0. Saving writes every language in ascending order.

#include "resfile/StringSetBase.h"

#include <array>
#include <utility>

namespace tryster::resfile {

class StringSetMulti : public StringSetBase {
public:
    ResError Save() override;
    int Count(std::uint8_t language = kOwnLanguage) const override;
    const std::string* GetString(int number, std::uint8_t language = kOwnLanguage) const override;
    void SetString(int number, std::string_view text, std::uint8_t language = kOwnLanguage) override;
    void InsertString(int number, std::string_view text, std::uint8_t language = kOwnLanguage) override;
    void CopyFrom(const StringSetBase& other) override;
    void Clear() override;

    const std::string* GetComment(int number, std::uint8_t language = kOwnLanguage) const;

protected:
    void storePlain(int number, std::string text) override;
    void storeEntry(std::uint8_t language, int number, std::string text, std::string comment) override;

private:
    using Entry = std::pair<std::string, std::string>;  // text, comment
    std::vector<Entry>* list(std::uint8_t language);
    const std::vector<Entry>* list(std::uint8_t language) const;
    void put(std::uint8_t language, int number, std::string text, std::string comment);

    std::array<std::vector<Entry>, kLanguageCount> lists_;
};

}  // namespace tryster::resfile
