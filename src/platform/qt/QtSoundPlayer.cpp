#include "platform/qt/QtSoundPlayer.h"

#include "platform/FileSystem.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

namespace tryster::platform {
namespace {

const QString kSoundFolder = QStringLiteral(":/sounds");

// How long a waiting play may outlast the sound's own length before we give
// up on the output (a stalled device must not freeze the program).
constexpr int kWaitGraceMs = 1000;

std::optional<formats::WaveSound> readWave(std::span<const std::uint8_t> bytes) {
    formats::WaveSound sound;
    if (formats::parseWave(bytes, sound) != formats::WaveError::None) return std::nullopt;
    return sound;
}

// QAudioFormat has no 24-bit samples: widen them to 32.
void widen24To32(formats::WaveSound& sound) {
    std::vector<std::uint8_t> wide;
    wide.reserve(sound.samples.size() / 3 * 4);
    for (std::size_t i = 0; i + 3 <= sound.samples.size(); i += 3) {
        wide.push_back(0);
        wide.insert(wide.end(), sound.samples.begin() + static_cast<std::ptrdiff_t>(i),
                    sound.samples.begin() + static_cast<std::ptrdiff_t>(i + 3));
    }
    sound.samples = std::move(wide);
    sound.bitsPerSample = 32;
}

QAudioFormat formatOf(const formats::WaveSound& sound) {
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(sound.sampleRate));
    format.setChannelCount(sound.channels);
    switch (sound.bitsPerSample) {
    case 8: format.setSampleFormat(QAudioFormat::UInt8); break;
    case 16: format.setSampleFormat(QAudioFormat::Int16); break;
    default: format.setSampleFormat(QAudioFormat::Int32); break;
    }
    return format;
}

}  // namespace

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() { stop(); }

QString QtSoundPlayer::findResource(std::string_view name) {
    QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (wanted.isEmpty()) return {};
    const QStringList files = QDir(kSoundFolder).entryList(QDir::Files);
    for (const QString& file : files) {
        if (QFileInfo(file).completeBaseName().compare(wanted, Qt::CaseInsensitive) == 0)
            return kSoundFolder + QLatin1Char('/') + file;
    }
    return {};
}

void QtSoundPlayer::playResource(std::string_view name, PlayMode mode) {
    QString path = findResource(name);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    QByteArray bytes = file.readAll();
    std::span<const std::uint8_t> view(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size()));
    if (auto sound = readWave(view)) play(*sound, mode);
}

void QtSoundPlayer::playFile(std::string_view path, PlayMode mode) {
    auto bytes = readWholeFile(path);
    if (!bytes) return;
    if (auto sound = readWave(*bytes)) play(*sound, mode);
}

void QtSoundPlayer::stop() {
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    buffer_.close();
}

void QtSoundPlayer::play(const formats::WaveSound& original, PlayMode mode) {
    stop();
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    formats::WaveSound sound = original;
    if (sound.bitsPerSample == 24) widen24To32(sound);
    QAudioFormat format = formatOf(sound);
    if (!device.isFormatSupported(format)) return;

    pcm_ = QByteArray(reinterpret_cast<const char*>(sound.samples.data()),
                      static_cast<qsizetype>(sound.samples.size()));
    buffer_.setData(pcm_);
    if (!buffer_.open(QIODevice::ReadOnly)) return;
    sink_ = std::make_unique<QAudioSink>(device, format);
    QAudioSink* sink = sink_.get();
    // The output reports Idle when the buffer has drained; let it go then so
    // the device is free between sounds.
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        if (state == QAudio::IdleState) sink->stop();
    });
    sink->start(&buffer_);
    if (sink->error() != QAudio::NoError) {
        stop();
        return;
    }
    if (mode != PlayMode::Wait) return;

    QEventLoop loop;
    QObject::connect(sink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State state) {
        if (state != QAudio::ActiveState) loop.quit();
    });
    // A sound started meanwhile (by a timer) replaces this one and ends the wait.
    QObject::connect(sink, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(static_cast<int>(sound.durationMs()) + kWaitGraceMs, &loop, &QEventLoop::quit);
    // The caller blocks as it would on a synchronous play: no user input
    // reaches the window meanwhile, so nothing re-enters it.
    if (sink->state() == QAudio::ActiveState) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (sink_.get() == sink) stop();
}

}  // namespace tryster::platform
