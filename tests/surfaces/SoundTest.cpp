#include "sound/Sound.h"

#include "sound/VoiceMixer.h"
#include "support/Suites.h"

#include <cmath>

using Effect = Sound::Effect;

namespace {

// A fixed noise sequence shared with the reference values below, which were computed
// independently with every step rounded to 32-bit float.
std::function<float()> fixedNoise()
{
    auto i = std::make_shared<int>(0);
    return [i] {
        const int k = (*i)++;
        return static_cast<float>(((k * 7919) % 2001 - 1000) / 1000.0);
    };
}

QList<float> readFloats(VoiceMixer& mixer, int frames)
{
    QList<float> out(frames);
    const qint64 got = mixer.read(reinterpret_cast<char*>(out.data()), frames * 4);
    out.resize(int(got / 4));
    return out;
}

} // namespace

class SoundTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void synthesisFollowsEachSoundsFormula()
    {
        const auto check = [](Effect effect, int frames, QList<int> at, QList<float> expected) {
            const QList<float> samples = Sound::synthesise(effect, fixedNoise());
            QCOMPARE(samples.size(), frames);
            QCOMPARE(samples[0], 0.0f);
            for (int i = 0; i < at.size(); ++i)
                QCOMPARE(samples[at[i]], expected[i]);
        };
        check(Effect::Peel, 7056, {1, 100, 1000, 3528},
              {1.2241436706972308e-05f, 0.042268212884664536f, 0.07765819132328033f,
               -0.03135237097740173f});
        check(Effect::Pat, 3087, {1, 100, 1000, 3086},
              {2.07280845643254e-05f, 0.06473036855459213f, -0.018095342442393303f,
               -0.0008756683673709631f});
        check(Effect::Crunch, 9702, {1, 100, 1000, 4851},
              {5.9127600252395496e-05f, 0.07908143103122711f, 0.09324438869953156f,
               -0.020757200196385384f});
        check(Effect::Whoosh, 9702, {1, 100, 1000, 4851, 9701},
              {-2.4643574647598143e-07f, 0.0002044791035586968f, 0.01285438984632492f,
               -0.06715823709964752f, 7.131116035452578e-06f});
    }

    void noiseIsMappedWithoutBias()
    {
        const auto from = [](QList<quint32> draws) {
            return [draws, i = 0]() mutable { return draws[i++]; };
        };
        QCOMPARE(Sound::noiseSample(from({0})), -1.0f);
        // 2^24 is the top of [0, 2^24]: exactly 1.
        QCOMPARE(Sound::noiseSample(from({1u << 24})), 1.0f);
        QCOMPARE(Sound::noiseSample(from({1u << 23})), 0.0f);
        // The range folds 255 times into 32 bits; values past the last whole fold are drawn
        // again rather than favouring small k.
        QCOMPARE(Sound::noiseSample(from({0xFFFFFFFFu, 4278190335u, 1u << 24})), 1.0f);
        QCOMPARE(Sound::noiseSample(from({4278190334u})), 1.0f);
    }

    // Which effect each play reports is checked by the controller and gesture suites.
    void voicesAreUsedRoundRobin()
    {
        Sound& sound = Sound::shared();
        QVERIFY(!sound.isAudioAvailable()); // main() points the client at no server
        QList<int> voices;
        const int first = sound.nextVoice();
        for (Effect e : {Effect::Peel, Effect::Pat, Effect::Crunch, Effect::Whoosh, Effect::Pat}) {
            voices.append(sound.nextVoice());
            sound.play(e);
        }
        QCOMPARE(voices,
                 (QList<int>{first, (first + 1) % 4, (first + 2) % 4, (first + 3) % 4, first}));
    }

    // The stream ends where the longest voice ends; restarting a voice cuts it off.
    void mixerSumsScalesAndClamps()
    {
        VoiceMixer mixer(4, 0.5f);
        mixer.start(0, {0.2f, 0.4f, 1.0f, 3.0f});
        mixer.start(1, {0.2f, -4.0f});
        QCOMPARE(readFloats(mixer, 6), (QList<float>{0.2f, -1.0f, 0.5f, 1.0f}));
        QVERIFY(!mixer.isPlaying());
        mixer.start(2, {0.2f, 0.2f, 0.2f, 0.2f});
        QCOMPARE(readFloats(mixer, 2), (QList<float>{0.1f, 0.1f}));
        mixer.start(2, {0.6f});
        mixer.start(7, {0.9f}); // no such voice: ignored
        QCOMPARE(readFloats(mixer, 3), (QList<float>{0.3f}));
    }

    // Idle, the stream gives nothing until a voice starts and wakes the sink; each wake gives
    // at least the minimum run, and begins with the lead-in.
    void idleMixerGivesNothingUntilAVoiceStarts()
    {
        VoiceMixer mixer(4, 1.0f);
        int wakes = 0;
        connect(&mixer, &QIODevice::readyRead, this, [&] { ++wakes; });
        QCOMPARE(readFloats(mixer, 64).size(), 0);
        QCOMPARE(mixer.bytesAvailable(), 0);
        mixer.start(3, QList<float>(10, 0.25f));
        QCOMPARE(wakes, 1);
        QCOMPARE(mixer.bytesAvailable(), 40);
        QCOMPARE(readFloats(mixer, 64).size(), 10);
        QCOMPARE(readFloats(mixer, 64).size(), 0);

        mixer.setMinimumRun(8);
        mixer.start(0, {0.5f, 0.5f, 0.5f});
        QCOMPARE(readFloats(mixer, 2), (QList<float>{0.5f, 0.5f}));
        mixer.start(1, {0.25f}); // joins the current run, which still ends after 8 frames
        QCOMPARE(readFloats(mixer, 64), (QList<float>{0.75f, 0, 0, 0, 0, 0}));
        QCOMPARE(readFloats(mixer, 64).size(), 0);
        mixer.start(2, QList<float>(12, 0.125f)); // a new run, longer than the minimum
        QCOMPARE(readFloats(mixer, 64).size(), 12);

        VoiceMixer leading(4, 1.0f);
        leading.setLeadIn(2);
        leading.start(0, {0.5f, 0.5f});
        QCOMPARE(readFloats(leading, 3), (QList<float>{0, 0, 0.5f}));
        leading.start(1, {0.25f}); // already awake: no new lead-in
        QCOMPARE(readFloats(leading, 64), (QList<float>{0.75f}));
        leading.start(1, {0.25f});
        QCOMPARE(readFloats(leading, 64), (QList<float>{0, 0, 0.25f}));
    }
};

static RegisterSuite<SoundTest> registered;
#include "SoundTest.moc"
