#pragma once
// A sound player that remembers every request, in order. Install it with
// `platform::installSoundPlayer`.

#include "platform/Sound.h"

#include <string>
#include <string_view>
#include <vector>

namespace tryster::test {

class RecordingSoundPlayer final : public platform::SoundPlayer {
public:
    struct Event {
        enum Kind { Resource, File, Stop } kind;
        std::string name;  // resource name or file path; empty for Stop
        platform::PlayMode mode = platform::PlayMode::Async;
        bool operator==(const Event&) const = default;
    };

    void playResource(std::string_view name, platform::PlayMode mode) override {
        events.push_back({Event::Resource, std::string(name), mode});
    }
    void playFile(std::string_view path, platform::PlayMode mode) override {
        events.push_back({Event::File, std::string(path), mode});
    }
    void stop() override { events.push_back({Event::Stop, {}, platform::PlayMode::Async}); }

    std::vector<Event> events;
};

}  // namespace tryster::test
