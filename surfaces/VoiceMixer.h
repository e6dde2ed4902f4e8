#pragma once

#include <QIODevice>
#include <QList>
#include <vector>

// A stream of mono float samples mixed from a few voices, for an audio sink to pull from.
// Starting a voice cuts off whatever it was playing. The mix is scaled by the volume and
// clamped to [-1, 1]. While no voice plays the stream has nothing to give (reads return 0),
// so the sink falls idle and does no work; starting a voice announces readyRead, which wakes
// the sink. The device is open for reading from construction.
class VoiceMixer : public QIODevice {
    Q_OBJECT
public:
    explicit VoiceMixer(int voices, float volume, QObject* parent = nullptr);

    void start(int voice, const QList<float>& samples);
    bool isPlaying() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    struct Voice {
        QList<float> samples;
        qsizetype position = 0;
        qsizetype remaining() const { return samples.size() - position; }
    };
    std::vector<Voice> voices_;
    float volume_;
};
