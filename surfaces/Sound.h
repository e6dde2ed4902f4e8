#pragma once

#include <QList>
#include <QObject>
#include <array>
#include <functional>
#include <memory>

// The four synthesised gesture sounds, played through a pool of four round-robin voices.
// With no audio device, playing is skipped: it never blocks and never fails.
class Sound {
public:
    enum class Effect { Peel, Pat, Crunch, Whoosh };

    static Sound& shared();

    void play(Effect effect);

    // The synthesised samples (44100 Hz, mono, float).
    const QList<float>& buffer(Effect effect) const;
    // Index of the voice the next play() will use.
    int nextVoice() const { return next_; }
    bool isAudioAvailable() const;

    // Tests observe what is played; an empty function removes the observer.
    static void setObserver(std::function<void(Effect)> observer);

    ~Sound();

private:
    Sound();
    struct Engine;
    std::unique_ptr<Engine> engine_;
    std::array<QList<float>, 4> buffers_;
    int next_ = 0;
};

// The generic haptic tap; on Linux it only counts (platform::Desktop::hapticCount).
void haptic();
