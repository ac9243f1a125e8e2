#pragma once
// A window for headless runs: each presented frame is written to a PNG
// file (the same file each time, so it holds the last frame).

#include "platform/DisplayWindow.h"

#include <string>

namespace tryster::platform {

class FrameFileWindow final : public DisplayWindow {
public:
    explicit FrameFileWindow(std::string path, int width = 0, int height = 0)
        : path_(std::move(path)), rect_{0, 0, width, height} {}

    DisplayWindow* parentWindow() override { return nullptr; }
    ScreenRect screenRect() override { return rect_; }
    void showFrame(const LockedSurface& frame, const ScreenRect& source) override;

    // Frames written, and whether the last write worked.
    int framesWritten() const { return frames_; }
    bool lastWriteFailed() const { return failed_; }

private:
    std::string path_;
    ScreenRect rect_;
    int frames_ = 0;
    bool failed_ = false;
};

}  // namespace tryster::platform
