#pragma once
// The engine's result codes: 0 is success, engine failures are 0x9B0B00xx,
// and display or device failures (platform::device_result) pass through
// unchanged, made into the engine's result where they cross over.
//
// Its own type, so it cannot pass for a device result or a count, and it
// cannot be dropped without saying so. True in a condition when it is a
// failure; code() gives the number.

#include "platform/DeviceTypes.h"

#include <cstdint>
#include <iosfwd>

namespace tryster::render {

class [[nodiscard]] RenderResult {
public:
    constexpr RenderResult() = default;
    constexpr explicit RenderResult(std::uint32_t code) : code_(code) {}
    // A display or device failure, passed through.
    constexpr explicit RenderResult(platform::DeviceResult device) : code_(device.code()) {}
    constexpr std::uint32_t code() const { return code_; }
    constexpr explicit operator bool() const { return code_ != 0; }
    friend constexpr bool operator==(RenderResult, RenderResult) = default;

private:
    std::uint32_t code_ = 0;
};
// "0x9b0b0003" (for test output).
std::ostream& operator<<(std::ostream& out, RenderResult result);

namespace render_error {
inline constexpr RenderResult kOk{0};
inline constexpr RenderResult kCannotCreate{0x9B0B0001};   // an engine object could not be made
inline constexpr RenderResult kBadArgument{0x9B0B0002};    // a null or out-of-range argument
inline constexpr RenderResult kNotFound{0x9B0B0003};       // no material or image of that name
inline constexpr RenderResult kNotSupported{0x9B0B0004};   // the operation is not offered
inline constexpr RenderResult kBadImage{0x9B0B0005};       // an image file that cannot be decoded
inline constexpr RenderResult kNotReady{0x9B0B0006};       // used before its set-up step
inline constexpr RenderResult kNoScreenDc{0x9B0B0014};     // the screen (its palette) cannot be read
inline constexpr RenderResult kNoDriver{0x9B0B001C};       // no Direct3D driver of the wanted kind
inline constexpr RenderResult kNoDisplayMode{0x9B0B001E};  // the wanted mode is not in the mode list
inline constexpr RenderResult kNotAChild{0x9B0B001F};      // removing an object that is not a child
}  // namespace render_error

}  // namespace tryster::render
