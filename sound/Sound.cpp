#include "sound/Sound.h"

#include "platform/Desktop.h"
#include "platform/Services.h"
#include "sound/VoiceMixer.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <thread>

namespace {

constexpr int kSampleRate = 44100;
constexpr int kVoices = 4;
constexpr float kVolume = 0.5f;
// Silence ahead of a sound that wakes the output (measured: PulseAudio drops up to about
// 7 ms of audio written right after a stream ran dry).
constexpr int kLeadIn = kSampleRate / 50;

// The installed module, else the one beside the build.
QString audioModule()
{
    const QString installed = QStringLiteral(QUILLHAVEN_AUDIO_INSTALLED);
    return QFileInfo::exists(installed) ? installed : QStringLiteral(QUILLHAVEN_AUDIO_MODULE);
}

int indexOf(Sound::Effect effect)
{
    return static_cast<int>(effect);
}

// Per-sound shape: frame count, filter coefficient and sample value at time t.
// Filter state, products and sums are 32-bit floats formed in the written order; envelopes
// are computed in double and converted before use.
QList<float> render(Sound::Effect effect, const std::function<float()>& noise)
{
    using Effect = Sound::Effect;
    constexpr double pi = std::numbers::pi;
    const int frames = effect == Effect::Peel ? 7056 : effect == Effect::Pat ? 3087 : 9702;
    QList<float> out(frames);
    float lp = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = i / double(kSampleRate);
        const float n = noise();
        const auto attack = static_cast<float>(std::min(t / 0.004, 1.0));
        float sample = 0;
        switch (effect) {
        case Effect::Peel: {
            const double p = t / 0.16;
            lp = lp + (n - lp) * 0.12f;
            sample = lp * static_cast<float>((1 - p) * (1 - p)) * attack * 0.5f;
            break;
        }
        case Effect::Pat: {
            lp = lp + (n - lp) * 0.06f;
            const auto tone = static_cast<float>(std::sin(2 * pi * 170 * t));
            const auto decay = static_cast<float>(std::exp(-70 * t));
            sample = (tone * 0.35f + lp * 0.8f) * decay * attack * 0.5f;
            break;
        }
        case Effect::Crunch: {
            const double p = t / 0.22;
            lp = lp + (n - lp) * static_cast<float>(0.2 - 0.16 * p);
            sample = lp * static_cast<float>(std::pow(1 - p, 1.5)) * attack * 0.45f;
            break;
        }
        case Effect::Whoosh: {
            const double p = t / 0.22;
            lp = lp + (n - lp) * static_cast<float>(0.02 + 0.12 * p);
            sample = lp * static_cast<float>(std::sin(pi * p)) * 0.6f;
            break;
        }
        }
        out[i] = sample;
    }
    return out;
}

} // namespace

struct Sound::Engine {
    using Open = QObject* (*)(QIODevice*, int, qsizetype*);
    using State = int (*)(QObject*);

    VoiceMixer mixer{kVoices, kVolume};
    std::unique_ptr<QObject> sink;
    State state = nullptr;
    bool opened = false;
    bool loading = false;
    bool available = false;
    std::optional<std::pair<int, QList<float>>> pending;

    // Loads the output module and opens the device the first time a sound plays.
    void open()
    {
        if (opened)
            return;
        opened = true;
        QLibrary module(audioModule());
        const auto openAudio = reinterpret_cast<Open>(module.resolve("quillhavenOpenAudio"));
        state = reinterpret_cast<State>(module.resolve("quillhavenAudioState"));
        if (openAudio == nullptr || state == nullptr)
            return;
        qsizetype bufferBytes = 0;
        sink.reset(openAudio(&mixer, kSampleRate, &bufferBytes));
        if (!sink)
            return;
        // With nothing to play the mixer gives no data and the sink idles; each new sound
        // wakes it through the mixer's readyRead.
        mixer.setMinimumRun(bufferBytes / qsizetype(sizeof(float)));
        mixer.setLeadIn(kLeadIn);
        available = true;
    }

    // The first sound loads the libraries on a thread of its own and plays once they are in:
    // a little late, rather than holding up the GUI thread while they load.
    void loadThenPlay(int voice, const QList<float>& samples)
    {
        pending = {voice, samples};
        if (loading)
            return;
        loading = true;
        std::thread([this] {
            QLibrary(audioModule()).load();
            QMetaObject::invokeMethod(
                qApp,
                [this] {
                    open();
                    if (available && pending)
                        start(pending->first, pending->second);
                    pending.reset();
                },
                Qt::QueuedConnection);
        }).detach();
    }

    void start(int voice, const QList<float>& samples)
    {
        if (!opened) {
            loadThenPlay(voice, samples);
            return;
        }
        if (!available)
            return;
        mixer.start(voice, samples);
        if (state(sink.get()) < 0) {
            // The sound server went away: stay quiet from now on.
            available = false;
        }
    }
};

Sound& Sound::shared()
{
    // Lives until the process ends; the audio sink must not be torn down after the
    // application object.
    static Sound* instance = new Sound;
    return *instance;
}

Sound::Sound()
    : engine_(std::make_unique<Engine>())
{
    QRandomGenerator* random = QRandomGenerator::system();
    const auto noise = [random] { return noiseSample([random] { return random->generate(); }); };
    for (Effect effect : {Effect::Peel, Effect::Pat, Effect::Crunch, Effect::Whoosh})
        buffers_[indexOf(effect)] = synthesise(effect, noise);
}

Sound::~Sound() = default;

void Sound::play(Effect effect)
{
    const int voice = next_;
    next_ = (next_ + 1) % kVoices;
    if (const auto& heard = platform::services().soundPlayed)
        heard(indexOf(effect));
    engine_->start(voice, buffers_[indexOf(effect)]);
}

const QList<float>& Sound::buffer(Effect effect) const
{
    return buffers_[indexOf(effect)];
}

bool Sound::isAudioAvailable() const
{
    engine_->open();
    return engine_->available;
}

bool Sound::isStreaming() const
{
    return engine_->sink && engine_->state(engine_->sink.get()) > 0;
}

QList<float> Sound::synthesise(Effect effect, const std::function<float()>& noise)
{
    return render(effect, noise);
}

float Sound::noiseSample(const std::function<quint32()>& draw)
{
    constexpr quint64 values = (quint64{1} << 24) + 1; // k in [0, 2^24]
    constexpr quint64 limit = ((quint64{1} << 32) / values) * values;
    quint64 v = draw();
    while (v >= limit)
        v = draw();
    const quint64 k = v % values;
    return static_cast<float>(2.0 * double(k) * 0x1p-24 - 1.0);
}

void haptic()
{
    platform::desktop().haptic();
}
