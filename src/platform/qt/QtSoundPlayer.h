#pragma once
// The real SoundPlayer: plays the program's WAVE resources (":/sounds/",
// built in by the asset generator) and WAVE files through Qt Multimedia.
//
// One sound plays at a time; a new one, or stop(), ends the one before.
// Without an audio output, or for a sound the output cannot take, nothing
// plays and nothing is reported.

#include "formats/WaveFile.h"
#include "platform/Sound.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <memory>

class QAudioSink;

namespace tryster::platform {

class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    QtSoundPlayer(const QtSoundPlayer&) = delete;
    QtSoundPlayer& operator=(const QtSoundPlayer&) = delete;

    void playResource(std::string_view name, PlayMode mode) override;
    void playFile(std::string_view path, PlayMode mode) override;
    void stop() override;

    // The resource path of a sound name, matched without regard to case;
    // empty when the program has no such sound.
    static QString findResource(std::string_view name);

private:
    void play(const formats::WaveSound& sound, PlayMode mode);

    std::unique_ptr<QAudioSink> sink_;
    QByteArray pcm_;
    QBuffer buffer_;
};

}  // namespace tryster::platform
