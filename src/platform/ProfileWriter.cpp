#include "platform/ProfileWriter.h"

#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace tryster::platform {
namespace {

std::string_view trimSpaces(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A line without its break, and the break as it was in the file, so that
// lines we do not touch (a multi-line value among them) keep their bytes.
struct Line {
    std::string text;
    std::string end = "\r\n";
};

std::vector<Line> splitLines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        std::string end = eol == std::string_view::npos ? "\r\n" : "\n";
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            end = "\r\n";
        }
        lines.push_back({std::string(line), end});
        if (eol == std::string_view::npos) break;
        text = text.substr(eol + 1);
    }
    return lines;
}

bool isSectionLine(std::string_view line, std::string_view* name) {
    line = trimSpaces(line);
    if (line.size() < 2 || line.front() != '[') return false;
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    *name = trimSpaces(line.substr(1, close - 1));
    return true;
}

// Sets one key in the lines of a profile file.
void setKey(std::vector<Line>& lines, std::string_view section, std::string_view key, std::string_view value) {
    Line newLine{std::string(key) + "=" + std::string(value)};
    std::size_t sectionStart = lines.size();  // index of the "[Section]" line
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (isSectionLine(lines[i].text, &name) && equalsNoCase(name, section)) {
            sectionStart = i;
            break;
        }
    }
    if (sectionStart == lines.size()) {
        lines.push_back({"[" + std::string(section) + "]"});
        lines.push_back(newLine);
        return;
    }
    std::size_t end = sectionStart + 1;
    std::size_t found = lines.size();
    for (; end < lines.size(); ++end) {
        std::string_view name;
        if (isSectionLine(lines[end].text, &name)) break;
        std::size_t eq = lines[end].text.find('=');
        if (found == lines.size() && eq != std::string::npos &&
            equalsNoCase(trimSpaces(std::string_view(lines[end].text).substr(0, eq)), key))
            found = end;
    }
    if (found != lines.size()) {
        lines[found] = newLine;
    } else {
        // After the section's last non-blank line.
        std::size_t at = end;
        while (at > sectionStart + 1 && trimSpaces(lines[at - 1].text).empty()) --at;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), newLine);
    }
}

}  // namespace

bool writeProfileStrings(std::string_view path, std::string_view section,
                         const std::vector<std::pair<std::string, std::string>>& keys) {
    FileSystem& fs = fileSystem();
    std::vector<Line> lines;
    if (fs.exists(path)) {
        auto bytes = readWholeFile(path);
        if (!bytes) return false;
        lines = splitLines(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    }
    for (const auto& [key, value] : keys) setKey(lines, section, key, value);

    std::string out;
    for (const Line& line : lines) {
        out += line.text;
        out += line.end;
    }
    return writeWholeFile(path, out.data(), out.size());
}

bool writeProfileString(std::string_view path, std::string_view section, std::string_view key,
                        std::string_view value) {
    return writeProfileStrings(path, section, {{std::string(key), std::string(value)}});
}

}  // namespace tryster::platform
