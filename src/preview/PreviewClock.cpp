#include "preview/PreviewClock.h"

#include "platform/Clock.h"

namespace tryster::preview {

PreviewClock& PreviewClock::instance() {
    static PreviewClock clock;
    return clock;
}

void PreviewClock::step() {
    step(platform::tickCountMs());
}

void PreviewClock::step(std::uint32_t t) {
    lastRealTime_ = t;
    const std::uint32_t d = offset_ + t - clock_;
    lastStep_ = d;
    if (d > maxStep_) {
        lastStep_ = maxStep_;
        clock_ += maxStep_;
        offset_ = clock_ - t;
    } else {
        clock_ = offset_ + t;
    }
    ++frames_;
}

}  // namespace tryster::preview
