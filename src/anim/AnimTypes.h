#pragma once
// Types the animation module shares: the math, reference counting, and
// clock readings.

#include "base/RefCounted.h"
#include "math/Box.h"
#include "math/Matrix3.h"
#include "math/Matrix4.h"
#include "math/Quaternion.h"
#include "math/Vector3.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tryster::anim {

using base::Ref;
using base::RefCounted;
using math::Box;
using math::Matrix3;
using math::Matrix4;
using math::Quaternion;
using math::Vector3;

// Readings of the preview clock, in milliseconds. The core never reads a
// clock itself: callers pass the time in.
using TimeMs = std::int64_t;

// A ';'-separated folder list that records remember they were read along
// (meshes and frame files are searched along it). Lists are long and
// records many, so every record read along one list shares its text.
class SearchPath {
public:
    SearchPath() = default;
    SearchPath(std::string_view list) : list_(std::make_shared<const std::string>(list)) {}
    SearchPath(const char* list) : SearchPath(std::string_view(list)) {}

    std::string_view view() const { return list_ ? std::string_view(*list_) : std::string_view(); }
    operator std::string_view() const { return view(); }
    bool empty() const { return view().empty(); }
    friend bool operator==(const SearchPath& a, std::string_view b) { return a.view() == b; }

private:
    std::shared_ptr<const std::string> list_;
};

// Longest names the readers accept; longer ones are read failures (the
// binary files hold at most the short limit everywhere).
inline constexpr std::size_t kLongNameLimit = 1023;  // skeleton, bone, part and mesh names
inline constexpr std::size_t kShortNameLimit = 255;  // outfit, animation, data, track names, properties

}  // namespace tryster::anim
