// Replays inputs through a fuzz target as an ordinary program, for the test
// run of the sanitizer build (as LLVM keeps its fuzz regressions). Each
// argument is a file or a folder; a folder's files are replayed in name
// order, its subfolders too, and a folder that does not exist is skipped,
// so a corpus added later under fuzz/corpus/<target>/ is replayed without
// a change here. A target aborts on a finding; the sanitizers report the
// rest. Prints the number of inputs replayed.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& root) {
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    if (std::filesystem::is_regular_file(root, ec)) {
        out.push_back(root);
        return out;
    }
    if (!std::filesystem::is_directory(root, ec)) return out;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file(ec)) out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path& path : inputsOf(argv[i])) {
            std::ifstream in(path, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "cannot read %s\n", path.c_str());
                return 1;
            }
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);  // the input a finding belongs to is the last one printed
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    return 0;
}
