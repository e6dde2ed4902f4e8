#pragma once

#include <QIODevice>
#include <QList>
#include <vector>

// A stream of mono float samples mixed from a few voices, for an audio sink to pull from.
// Starting a voice cuts off whatever it was playing. The mix is scaled by the volume and
// clamped to [-1, 1]. While no voice plays the stream has nothing to give (reads return 0),
// so the sink falls idle and does no work; starting a voice announces readyRead, which wakes
// the sink. Each wake begins with the lead-in (silence, since a sink resuming after running
// dry may skip the first few milliseconds it is given) and gives at least the minimum run
// (sound, then silence, since a sink may hold back audio until its buffer has filled once). The
// device is open for reading from construction.
class VoiceMixer : public QIODevice {
    Q_OBJECT
public:
    explicit VoiceMixer(int voices, float volume, QObject* parent = nullptr);

    void start(int voice, const QList<float>& samples);
    bool isPlaying() const;
    void setMinimumRun(qint64 frames) { minimumRun_ = run_ = frames; }
    void setLeadIn(qint64 frames) { leadIn_ = frames; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    qint64 pendingFrames() const; // until the longest voice and the minimum run are done
    struct Voice {
        QList<float> samples;
        qsizetype position = 0;
        qsizetype remaining() const { return samples.size() - position; }
    };
    std::vector<Voice> voices_;
    float volume_;
    qint64 minimumRun_ = 0;
    qint64 run_ = 0; // frames given since the last wake
    qint64 leadIn_ = 0;
    qint64 lead_ = 0; // lead-in frames still to give
};
