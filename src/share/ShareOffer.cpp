#include "share/ShareOffer.h"

#include "platform/GameText.h"

namespace tryster::share {
namespace {

constexpr std::string_view kUnnamed = "Shared date";
constexpr std::string_view kPackExtension = ".zip";

}  // namespace

bool offersPackAfterSave(std::string_view configuredExchangeAddress) {
    return configuredExchangeAddress.find_first_not_of(" \t") == std::string_view::npos;
}

std::string defaultPackFileName(std::string_view characterName) {
    std::string name = platform::fromGameText(characterName);
    for (char& c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) c = '_';
    }
    // Names that begin or end in spaces or dots trouble some file systems.
    const std::size_t first = name.find_first_not_of(" .");
    const std::size_t last = name.find_last_not_of(" .");
    name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    if (name.empty()) name = kUnnamed;
    return name + std::string(kPackExtension);
}

std::string asSentence(std::string_view reason) {
    std::string text(reason);
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z') text.front() = static_cast<char>(text.front() - 'a' + 'A');
    if (!text.empty() && text.back() != '.') text += '.';
    return text;
}

}  // namespace tryster::share
