#pragma once

#include <QIODevice>
#include <QList>
#include <vector>

// An endless stream of mono float samples mixed from a few voices, for an audio sink to pull
// from. Starting a voice cuts off whatever it was playing. The mix is scaled by the volume
// and clamped to [-1, 1]; with no voice playing it yields silence. Once every voice has been
// quiet for the drain delay, `drained` is emitted, so that the owner can pause the sink
// instead of streaming silence. The device is open for reading from construction.
class VoiceMixer : public QIODevice {
    Q_OBJECT
public:
    explicit VoiceMixer(int voices, float volume, QObject* parent = nullptr);

    void start(int voice, const QList<float>& samples);
    bool isPlaying() const;
    // Frames of silence to stream after the last voice ends before `drained` (the sink's
    // buffered audio must have played out first).
    void setDrainDelay(qint64 frames) { drainDelay_ = frames; }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

Q_SIGNALS:
    void drained();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    struct Voice {
        QList<float> samples;
        qsizetype position = 0;
        bool playing() const { return position < samples.size(); }
    };
    std::vector<Voice> voices_;
    float volume_;
    qint64 drainDelay_ = 0;
    qint64 quietFrames_ = 0;
    bool drainedSent_ = true;
};
