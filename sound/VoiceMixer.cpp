#include "sound/VoiceMixer.h"

#include <algorithm>

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
    if (pendingFrames() == 0) { // idle until now: a new run begins
        run_ = 0;
        lead_ = leadIn_;
    }
    voices_[static_cast<size_t>(voice)] = Voice{samples, 0};
    Q_EMIT readyRead();
}

bool VoiceMixer::isPlaying() const
{
    return std::any_of(voices_.begin(), voices_.end(),
                       [](const Voice& v) { return v.remaining() > 0; });
}

qint64 VoiceMixer::pendingFrames() const
{
    qint64 voices = 0;
    for (const Voice& v : voices_)
        voices = std::max<qint64>(voices, v.remaining());
    return std::max({qint64(0), minimumRun_ - run_, voices > 0 ? lead_ + voices : 0});
}

qint64 VoiceMixer::bytesAvailable() const
{
    return QIODevice::bytesAvailable() + pendingFrames() * qint64(sizeof(float));
}

qint64 VoiceMixer::readData(char* data, qint64 maxSize)
{
    const qint64 frames = std::min(pendingFrames(), maxSize / qint64(sizeof(float)));
    run_ += frames;

    auto* out = reinterpret_cast<float*>(data);
    std::fill(out, out + frames, 0.0f);
    const qint64 lead = std::min(lead_, frames);
    lead_ -= lead;
    out += lead;
    for (Voice& voice : voices_) {
        const qint64 count = std::min<qint64>(frames - lead, voice.remaining());
        const float* in = voice.samples.constData() + voice.position;
        for (qint64 i = 0; i < count; ++i)
            out[i] += in[i];
        voice.position += count;
    }
    for (qint64 i = 0; i < frames - lead; ++i)
        out[i] = std::clamp(out[i] * volume_, -1.0f, 1.0f);
    return frames * qint64(sizeof(float));
}

qint64 VoiceMixer::writeData(const char*, qint64)
{
    return -1;
}
