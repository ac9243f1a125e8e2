#pragma once
// The window that shows the preview, as the display needs it: its place on
// the screen, the parent chain up to the top-level window, and a sink that
// receives each presented frame (the preview widget paints it; headless
// tools write it to a file).

#include "platform/DeviceTypes.h"
#include "platform/Surface.h"

namespace tryster::platform {

class DisplayWindow {
public:
    virtual ~DisplayWindow() = default;
    // The parent window, or nullptr for a top-level window.
    virtual DisplayWindow* parentWindow() = 0;
    // The client area in screen coordinates.
    virtual ScreenRect screenRect() = 0;
    // `frame` is the locked back buffer; `source` is the part presented.
    // Called inside the present step; the pixels are valid only then.
    virtual void showFrame(const LockedSurface& frame, const ScreenRect& source) = 0;
};

}  // namespace tryster::platform
