#pragma once
// A date template made by the project itself: a character file holding
// every resource the new date creation reads or changes, so that the demo
// game folder, the tests and the benchmarks can make dates without the
// game's own template.
//
// Contents: 'OBJD' 128 onwards; 'CTSS' 2000 in two languages (and 'CATS'
// 2000 on request); 'TRCN' and 'BCON' 4096 with the 22 date constants and
// any further ones (the flag bit set); string
// list 200 with 28 appearance strings in the light tone and fit body type;
// caret text of type 0x63737400; 'BMP_' pictures; a resource with three
// variants; filler resources on request.

#include "resfile/ResError.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tryster::exchange {

struct DateTemplateOptions {
    int objectCount = 2;
    std::size_t objectSize = 220;
    int constantCount = 24;
    std::int32_t labelVersion = 1;
    bool catalogText = false;
    bool appearanceList = true;
    int pictureCount = 3;
    // 'DATA' resources 1 onwards, for size.
    int fillerCount = 0;
    std::size_t fillerSize = 0;
};

// Ids and contents the tests check against.
inline constexpr std::int16_t kTemplateFirstObjectId = 128;
inline constexpr std::uint32_t kTemplateFirstIdentifier = 0x10000000;
inline constexpr std::int16_t kTemplateCaretTextId = 301;
inline constexpr std::string_view kTemplateCaretText = "^Plom template^ ^made by Tryster^";
inline constexpr std::int16_t kTemplateVariantId = 500;
inline constexpr int kTemplateVariantCount = 3;
// Constant k of the template holds kTemplateConstantBase + k.
inline constexpr std::uint16_t kTemplateConstantBase = 0x1200;

// Writes the template to `path` (which must not exist) as a 2.5 container.
[[nodiscard]] resfile::ResError buildDateTemplate(std::string_view path, const DateTemplateOptions& options = {});

}  // namespace tryster::exchange
