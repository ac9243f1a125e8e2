#include "platform/Sound.h"

namespace tryster::platform {
namespace {

SoundPlayer* g_player = nullptr;

}  // namespace

SoundPlayer& soundPlayer() {
    static NullSoundPlayer silent;
    return g_player ? *g_player : silent;
}

void installSoundPlayer(SoundPlayer* player) { g_player = player; }

}  // namespace tryster::platform
