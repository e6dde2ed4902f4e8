#include "sound/Sound.h"
#include "support/Suites.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>

using Effect = Sound::Effect;

namespace {

constexpr int kRate = 44100;
constexpr float kVolume = 0.5f;
constexpr float kLevel = 0.002f; // louder than this is sound

// The span from the first to the last sample louder than `level`, in frames.
struct Span {
    qsizetype first = -1;
    qsizetype last = -1;
    qsizetype length() const { return first < 0 ? 0 : last - first + 1; }
};

Span loudSpan(const float* samples, qsizetype count, float level)
{
    Span span;
    for (qsizetype i = 0; i < count; ++i) {
        if (std::abs(samples[i]) > level) {
            if (span.first < 0)
                span.first = i;
            span.last = i;
        }
    }
    return span;
}

double energy(const float* samples, qsizetype count)
{
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return sum;
}

} // namespace

// Plays the sounds through a real sound server (a private PulseAudio with a null sink) and
// records what reaches the sink.
class AudioTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable("pulseaudio");
        const QString recorder = QStandardPaths::findExecutable("parec");
        if (daemon.isEmpty() || recorder.isEmpty())
            QSKIP("pulseaudio and parec are needed (scripts/install-deps installs them)");
        QVERIFY(runtime_.isValid());
        socket_ = runtime_.filePath("native");

        // A private server: its own runtime and home directories, no configuration files,
        // one null sink, anonymous access on one socket. Running as root needs no more.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        env.insert("HOME", runtime_.path());
        env.remove("PULSE_SERVER");
        server_ = std::make_unique<QProcess>();
        server_->setProcessEnvironment(env);
        server_->setProcessChannelMode(QProcess::MergedChannels);
        server_->start(daemon, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
                                "--system=false", "--use-pid-file=no", "--log-target=stderr", "-L",
                                "module-null-sink sink_name=qh", "-L",
                                "module-native-protocol-unix auth-anonymous=1 socket=" + socket_});
        if (!server_->waitForStarted(5000))
            QSKIP("pulseaudio did not start");
        QTRY_VERIFY_WITH_TIMEOUT(
            QFileInfo::exists(socket_) || server_->state() == QProcess::NotRunning, 10000);
        if (!QFileInfo::exists(socket_))
            QSKIP(qPrintable("pulseaudio could not run here: " +
                             QString::fromLocal8Bit(server_->readAll()).right(400)));

        // The sound service must find this server when it first connects.
        qputenv("PULSE_SERVER", ("unix:" + socket_).toLocal8Bit());
        env.insert("PULSE_SERVER", "unix:" + socket_);

        recorder_ = std::make_unique<QProcess>();
        recorder_->setProcessEnvironment(env);
        connect(recorder_.get(), &QProcess::readyReadStandardOutput, this,
                [this] { recorded_ += recorder_->readAllStandardOutput(); });
        recorder_->start(recorder, {"-d", "qh.monitor", "--format=float32le", "--rate=44100",
                                    "--channels=1", "--latency-msec=10", "--raw"});
        QVERIFY(recorder_->waitForStarted(5000));
        // The monitor streams silence while nothing plays: wait until it flows.
        QTRY_VERIFY_WITH_TIMEOUT(recorded_.size() > 4 * kRate / 10, 10000);
    }

    void cleanupTestCase()
    {
        for (QProcess* process : {recorder_.get(), server_.get()})
            if (process && process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(3000))
                    process->kill();
            }
    }

    void eachSoundArrivesWhole_data()
    {
        QTest::addColumn<int>("effect");
        QTest::newRow("peel") << int(Effect::Peel);
        QTest::newRow("pat") << int(Effect::Pat);
        QTest::newRow("crunch") << int(Effect::Crunch);
        QTest::newRow("whoosh") << int(Effect::Whoosh);
    }
    void eachSoundArrivesWhole()
    {
        QFETCH(int, effect);
        Sound& sound = Sound::shared();
        QVERIFY(sound.isAudioAvailable());
        const QList<float>& buffer = sound.buffer(Effect(effect));

        const qsizetype start = recordedFrames();
        sound.play(Effect(effect));
        // Wait for the sound and half a second of quiet after it.
        QTRY_VERIFY_WITH_TIMEOUT(heardSince(start).length() > 0 &&
                                     recordedFrames() - start - heardSince(start).last > kRate / 2,
                                 10000);
        const Span heard = heardSince(start);
        QList<float> expected = buffer;
        for (float& s : expected)
            s *= kVolume;
        const Span meant = loudSpan(expected.constData(), expected.size(), kLevel);
        // Whole: the same length within 5 ms and the same energy within 3% (the first few
        // milliseconds carry much of a sound's energy, so a clipped start shows here).
        QVERIFY2(std::abs(heard.length() - meant.length()) < kRate / 200,
                 qPrintable(QStringLiteral("heard %1 frames, expected %2")
                                .arg(heard.length())
                                .arg(meant.length())));
        const double got = energy(recorded() + start + heard.first, heard.length());
        const double want = energy(expected.constData() + meant.first, meant.length());
        QVERIFY2(std::abs(got / want - 1) < 0.03,
                 qPrintable(QStringLiteral("energy %1, expected %2").arg(got).arg(want)));
        // Latency from play() to the sink: well under a quarter second.
        QVERIFY2(heard.first < kRate / 4, qPrintable(QString::number(heard.first)));
    }

    void outputIdlesWhenQuietAndWakesOnPlay()
    {
        Sound& sound = Sound::shared();
        QTRY_VERIFY_WITH_TIMEOUT(!sound.isStreaming(), 5000);
        const qsizetype start = recordedFrames();
        sound.play(Effect::Whoosh);
        sound.play(Effect::Pat); // overlapping on the next voice
        QTRY_VERIFY_WITH_TIMEOUT(heardSince(start).length() > kRate / 10, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!sound.isStreaming(), 5000);
    }

private:
    const float* recorded() const { return reinterpret_cast<const float*>(recorded_.constData()); }
    qsizetype recordedFrames() const { return recorded_.size() / qsizetype(sizeof(float)); }
    Span heardSince(qsizetype start) const
    {
        return loudSpan(recorded() + start, recordedFrames() - start, kLevel);
    }

    QTemporaryDir runtime_;
    QString socket_;
    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> recorder_;
    QByteArray recorded_;
};

static RegisterSuite<AudioTest> registered;
#include "AudioTest.moc"
