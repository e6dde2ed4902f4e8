#pragma once

#include <QList>
#include <QObject>
#include <QtGlobal>
#include <array>
#include <functional>
#include <memory>

// The four synthesised gesture sounds, played through a pool of four round-robin voices.
// With no audio device, playing is skipped: it never blocks and never fails.
class Sound {
public:
    enum class Effect { Peel, Pat, Crunch, Whoosh };

    static Sound& shared();

    // Starts `effect` on the next voice, cutting off whatever that voice was playing.
    void play(Effect effect);

    // The synthesised samples (44100 Hz, mono, float).
    const QList<float>& buffer(Effect effect) const;
    // Index of the voice the next play() will use.
    int nextVoice() const { return next_; }
    bool isAudioAvailable() const;
    // True while the audio output is pulling sound; it falls idle once the last sound has
    // been handed over, so that an idle program does no audio work.
    bool isStreaming() const;

    // Synthesises one sound from a source of noise samples in [-1, 1].
    static QList<float> synthesise(Effect effect, const std::function<float()>& noise);
    // One noise sample from 32-bit random draws: an unbiased k in [0, 2^24] (draws that would
    // bias it are rejected) mapped to 2k/2^24 - 1, so k = 2^24 gives exactly 1.
    static float noiseSample(const std::function<quint32()>& draw);

    ~Sound();

private:
    Sound();
    struct Engine;
    std::unique_ptr<Engine> engine_;
    std::array<QList<float>, 4> buffers_;
    int next_ = 0;
};

// The generic haptic tap, where the desktop has one.
void haptic();
