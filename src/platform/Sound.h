#pragma once
// Sound: the program's own WAVE resources ("Click", "PLOMS", the voice
// lines) and sound files named inside animations.
//
// Resource names are matched without regard to case. Playing never reports
// failure: a missing resource or an absent audio device plays nothing.

#include <string_view>

namespace tryster::platform {

enum class PlayMode {
    Async,  // returns at once
    Wait    // returns when the sound has ended
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playResource(std::string_view name, PlayMode mode) = 0;
    virtual void playFile(std::string_view path, PlayMode mode) = 0;
    // Stops whatever plays asynchronously.
    virtual void stop() = 0;
};

// Plays nothing.
class NullSoundPlayer final : public SoundPlayer {
public:
    void playResource(std::string_view, PlayMode) override {}
    void playFile(std::string_view, PlayMode) override {}
    void stop() override {}
};

// The process-wide player: a NullSoundPlayer until the application installs
// its real one. `installSoundPlayer(nullptr)` restores the null player.
SoundPlayer& soundPlayer();
void installSoundPlayer(SoundPlayer* player);

// The button click every control plays before acting.
inline void playClick(PlayMode mode = PlayMode::Async) { soundPlayer().playResource("Click", mode); }

}  // namespace tryster::platform
