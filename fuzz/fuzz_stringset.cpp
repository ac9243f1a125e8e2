// String-list resources in every form: the input (after one control byte)
// is the data of "STR#" 1, stored natively or not, and of the caret text
// type 1. Sets are read in every mode; a set saved and read again must give
// the same strings.

#include "ResFileFuzzSupport.h"
#include "resfile/IFFResFile2.h"
#include "resfile/StringSetMulti.h"

#include <cstdlib>
#include <cstring>

using namespace tryster;
using namespace tryster::resfile;

namespace {

std::vector<std::string> all(const StringSetBase& set) {
    std::vector<std::string> out;
    for (int n = 1; n <= set.Count(); ++n) out.push_back(*set.GetString(n));
    return out;
}

bool holdsZero(const std::vector<std::string>& strings) {
    for (const std::string& s : strings)
        if (s.find('\0') != std::string::npos) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t control = data[0];
    std::span<const std::uint8_t> body(data + 1, size - 1);
    test::MemoryFileSystem& fs = fuzz::memoryFiles();
    fs.clear();
    static const std::uint8_t kHeader[64] = {'I', 'F', 'F', ' ', 'F', 'I', 'L', 'E', ' ', '2', '.', '5', ':', 'T', 'Y',
                                             'P', 'E', ' ', 'F', 'O', 'L', 'L', 'O', 'W', 'E', 'D', ' ', 'B', 'Y', ' ',
                                             'S', 'I', 'Z', 'E', 0, ' ', 'W', 'Y', 'N', 'N', 'E', ' ', 'A', 'R', 'L',
                                             'E', 'K', 'A', 'M', 'P', ' ', '&', ' ', 'O', 'R', 'V', 'E', 'L', ' ', '1'};
    fs.put("s.iff", std::span<const std::uint8_t>(kHeader, 64));

    IFFResFile2 file;
    if (file.Open("s.iff") != kNoError) std::abort();
    DataHandle list = newHandleWith(body);
    DataHandle caret = newHandleWith(body);
    (void)file.AddResource(list, kTypeStringList, 1, "list", (control & 1) != 0);
    (void)file.AddResource(caret, kTypeCaretText, 1, "", true);
    (void)file.Close();
    if (file.Open("s.iff") != kNoError) std::abort();

    const auto language = static_cast<int>(control >> 3);  // 0..31: some outside the 20 held
    const bool allLanguages = (control & 2) != 0;
    const bool fallback = (control & 4) != 0;
    StringSet set;
    set.Setup(&file, 1, kTypeStringList, false, language);
    ResError error = set.Read(allLanguages, fallback);
    StringSet caretSet;
    caretSet.Setup(&file, 1, kTypeCaretText, true, 0);
    (void)caretSet.Read(false, false);
    StringSetMulti multi;
    multi.Setup(&file, 1, kTypeStringList, false, language);
    (void)multi.Read(true, fallback);
    std::uint8_t found = 0;
    (void)multi.FindString(1, found);
    StringSet loaded;
    (void)loaded.Load(&file, 1, allLanguages);

    // Round trip of what was read.
    if (error == kNoError && !holdsZero(all(set))) {
        std::vector<std::string> before = all(set);
        if (set.SaveAs(&file, 2) != kNoError) std::abort();
        StringSet back;
        back.Setup(&file, 2, kTypeStringList, false, set.language());
        if (back.Read(false, false) != kNoError || all(back) != before) std::abort();
    }
    (void)multi.SaveAs(&file, 3);
    (void)caretSet.SaveAs(&file, 4);
    (void)file.Close();
    return 0;
}
