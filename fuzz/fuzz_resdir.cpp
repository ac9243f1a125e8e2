// The resource directory: the input cut into up to four files of a ".dir"
// folder (at each "|||"), served through the standard combined file.

#include "ResFileFuzzSupport.h"
#include "resfile/StdResFile.h"

#include <string_view>

using namespace tryster;
using namespace tryster::resfile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::MemoryFileSystem& fs = fuzz::memoryFiles();
    fs.clear();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    for (int n = 0; n < 4 && !input.empty(); ++n) {
        std::size_t cut = input.find("|||");
        std::string_view part = input.substr(0, cut);
        fs.put("obj.dir/r" + std::to_string(n) + ".res",
               std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(part.data()), part.size()));
        input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 3);
    }
    StdResFile file;
    if (file.Open("obj") != kNoError) return 0;
    fuzz::readEverything(file);
    (void)file.Close();
    return 0;
}
