#pragma once
// Where the preview's camera stands: it orbits the origin at a fixed
// distance, looking down at 30 degrees, turned by the facing, with a
// parallel projection whose width follows the zoom (1.5 times the
// preview's width in pixels, at sqrt(2) * 3 / scale units each). The
// camera is shifted with the preview's size so that the character stays
// near the preview's top-left corner, where the snapshot rectangles are.

#include "render/Math3D.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace tryster::preview {

// Zoom slider positions 0..kMaxZoomLevel and their scales: the one zoom
// range, for the slider and the camera alike.
inline constexpr std::array<float, 5> kZoomScales = {128, 192, 256, 384, 512};
inline constexpr int kMaxZoomLevel = static_cast<int>(kZoomScales.size()) - 1;
inline constexpr int kDefaultZoomLevel = 3;
// Facing list entries (quarter turns) and rotate list entries (quarter
// turns per second).
inline constexpr std::array<std::pair<std::string_view, float>, 4> kFacings = {
    {{"North West", 2.0f}, {"North East", 3.0f}, {"South West", 1.0f}, {"South East", 0.0f}}};
inline constexpr std::array<std::pair<std::string_view, float>, 3> kRotations = {
    {{"None", 0.0f}, {"Slow", 0.1f}, {"Fast", 1.5f}}};

inline constexpr float kCameraFrontClip = 1.0f;
inline constexpr float kCameraBackClip = 347.0f;

struct CameraPlacement {
    render::Vector3 position;
    render::Vector3 direction;  // unit length, towards the origin
    float viewWidth = 0;        // world units across the viewport
    render::Matrix4 projection;
};

// For a facing in quarter turns, a zoom level (clamped to
// 0..kMaxZoomLevel) and the viewport's size in pixels.
CameraPlacement placeCamera(float facing, int zoomLevel, int viewportWidth, int viewportHeight);

// The view the camera is placed for: the facing, the rotation speed and the
// zoom level that the view controls set, and the clock of the last placement.
struct CameraView {
    float facing = 0.0f;
    float rotationSpeed = 0.0f;
    int zoomLevel = kDefaultZoomLevel;
    std::uint32_t lastCameraTimeMs = 0;

    // Turns the facing by the time since the last placement and returns
    // the facing as it stood before (the placement uses that one).
    float advance(std::uint32_t clockMs);
};

}  // namespace tryster::preview
