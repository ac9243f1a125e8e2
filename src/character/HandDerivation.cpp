#include "character/HandDerivation.h"

#include "platform/FileSystem.h"

namespace tryster {
namespace {

bool isLetter(char c, char lower) { return c == lower || c == lower - 'a' + 'A'; }

std::string_view toneOf(std::string_view bodyTexture) {
    // Short names cannot hold a tone after the game's prefix.
    constexpr std::size_t kShortestToned = 10;
    if (bodyTexture.size() < kShortestToned) return "lgt";
    if (platform::containsNoCase(bodyTexture, "med")) return "med";
    if (platform::containsNoCase(bodyTexture, "drk")) return "drk";
    return "lgt";
}

}  // namespace

void deriveHands(Appearance& look) {
    const std::string& body = look.bodyMesh;
    const bool adult = body.size() > 5 && isLetter(body[5], 'a');
    const char gender = body.size() > 4 && !isLetter(body[4], 'm') ? 'f' : 'm';

    std::string left = "hflo";
    left[1] = adult ? gender : 'u';
    std::string right = left;
    right[2] = 'r';

    std::string texture = platform::toUpper(right);
    texture += toneOf(look.bodyTexture);
    texture[1] = 'U';
    texture[2] = 'A';

    look.leftHandMesh = std::move(left);
    look.rightHandMesh = std::move(right);
    look.leftHandTexture = texture;
    look.rightHandTexture = std::move(texture);
}

}  // namespace tryster
