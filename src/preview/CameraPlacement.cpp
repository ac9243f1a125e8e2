#include "preview/CameraPlacement.h"

#include "render/Camera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tryster::preview {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kPitch = -kPi / 6;
// The camera is shifted by the difference between these and the view's
// half size (its width taken 1.5 times). So the character keeps its place
// when the preview changes size: about 167 pixels from the left edge
// whatever the width, and 213 pixels plus a sixth of the height from the
// top.
constexpr int kLayoutCentreX = 250;
constexpr int kLayoutCentreY = 320;
// sqrt(3) * (sqrt(2) * 192) * 0.5 + (765 / (2 sqrt(6)) + 68) * 0.5, whole
// units, less half a step.
constexpr float kOrbitDistance = 334.5f;

}  // namespace

CameraPlacement placeCamera(float facing, int zoomLevel, int viewportWidth, int viewportHeight) {
    const int w = viewportWidth, h = viewportHeight;
    const int wide = static_cast<int>(static_cast<float>(w) * 1.5f);
    const float scale = kZoomScales[static_cast<std::size_t>(std::clamp(zoomLevel, 0, kMaxZoomLevel))];
    const float unitsPerPixel = std::sqrt(2.0f) * 3.0f / scale;

    const float yaw = kPi * (45.0f - 90.0f * facing) / 180.0f;
    const render::Matrix4 m = render::Matrix4::rotationX(kPitch) * render::Matrix4::rotationY(yaw);
    const render::Vector3 orbit = m.transformPoint({0, 0, kOrbitDistance});
    const render::Vector3 right = m.transformPoint({1, 0, 0});
    const render::Vector3 up = m.transformPoint({0, 1, 0});

    CameraPlacement out;
    out.direction = render::normalised(orbit * -1.0f);
    out.position = orbit + right * (unitsPerPixel * static_cast<float>(kLayoutCentreX - wide / 2)) +
                   up * (unitsPerPixel * static_cast<float>(kLayoutCentreY - h / 2));
    out.viewWidth = static_cast<float>(wide) * unitsPerPixel;
    const float aspect = h > 0 ? static_cast<float>(w) / static_cast<float>(h) : 1.0f;
    out.projection = render::parallelProjection(out.viewWidth, aspect, kCameraBackClip);
    return out;
}

float CameraView::advance(std::uint32_t clockMs) {
    const std::uint32_t dt = clockMs - lastCameraTimeMs;
    lastCameraTimeMs = clockMs;
    const float before = facing;
    facing += static_cast<float>(dt) * rotationSpeed * 0.001f;
    return before;
}

}  // namespace tryster::preview
