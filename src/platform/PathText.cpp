#include "platform/PathText.h"

namespace tryster::platform {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

char nativeSeparator() { return '/'; }

std::string toNativeSeparators(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && !isSeparator(out.back())) out += nativeSeparator();
    out += name;
    return out;
}

std::string_view folderPart(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view namePart(std::string_view path) { return path.substr(folderPart(path).size()); }

}  // namespace tryster::platform
