#include "surfaces/VoiceMixer.h"

#include <algorithm>
#include <cstring>

VoiceMixer::VoiceMixer(int voices, float volume, QObject* parent)
    : QIODevice(parent)
    , voices_(static_cast<size_t>(std::max(voices, 1)))
    , volume_(volume)
{
    // Unbuffered: a sound started now must be in the very next read, not behind a read-ahead.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void VoiceMixer::start(int voice, const QList<float>& samples)
{
    if (voice < 0 || voice >= static_cast<int>(voices_.size()))
        return;
    voices_[static_cast<size_t>(voice)] = Voice{samples, 0};
    quietFrames_ = 0;
    drainedSent_ = false;
}

bool VoiceMixer::isPlaying() const
{
    return std::any_of(voices_.begin(), voices_.end(), [](const Voice& v) { return v.playing(); });
}

qint64 VoiceMixer::bytesAvailable() const
{
    // The stream never ends; offer a second's worth at a time.
    return QIODevice::bytesAvailable() + 44100 * qint64(sizeof(float));
}

qint64 VoiceMixer::readData(char* data, qint64 maxSize)
{
    const qint64 frames = maxSize / qint64(sizeof(float));
    auto* out = reinterpret_cast<float*>(data);
    std::fill(out, out + frames, 0.0f);
    qint64 sounding = 0; // frames of this read that carry some voice
    for (Voice& voice : voices_) {
        const qint64 count = std::min<qint64>(frames, voice.samples.size() - voice.position);
        if (count <= 0)
            continue;
        const float* in = voice.samples.constData() + voice.position;
        for (qint64 i = 0; i < count; ++i)
            out[i] += in[i];
        voice.position += count;
        sounding = std::max(sounding, count);
    }
    for (qint64 i = 0; i < frames; ++i)
        out[i] = std::clamp(out[i] * volume_, -1.0f, 1.0f);

    if (!isPlaying() && !drainedSent_) {
        quietFrames_ += frames - sounding;
        if (quietFrames_ >= drainDelay_) {
            drainedSent_ = true;
            Q_EMIT drained();
        }
    }
    return frames * qint64(sizeof(float));
}

qint64 VoiceMixer::writeData(const char*, qint64)
{
    return -1;
}
