#pragma once
// A window for headless runs: each presented frame is written to a PNG
// file (the same file each time, so it holds the last frame).

#include "platform/DisplayWindow.h"

#include <string>

namespace tryster::softgpu {

class FrameFileWindow final : public platform::DisplayWindow {
public:
    explicit FrameFileWindow(std::string path, int width = 0, int height = 0)
        : path_(std::move(path)), rect_{0, 0, width, height} {}

    platform::DisplayWindow* parentWindow() override { return nullptr; }
    platform::ScreenRect screenRect() override { return rect_; }
    void showFrame(const platform::LockedSurface& frame, const platform::ScreenRect& source) override;

    // Frames written, and whether the last write worked.
    int framesWritten() const { return frames_; }
    bool lastWriteFailed() const { return failed_; }

private:
    std::string path_;
    platform::ScreenRect rect_;
    int frames_ = 0;
    bool failed_ = false;
};

}  // namespace tryster::softgpu
