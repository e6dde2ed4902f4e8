#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

// The audio output, built as a module of its own: the program loads it, and with it Qt
// Multimedia and the sound server's client library, only when the first sound plays.
extern "C" {

// Starts the default output pulling mono float samples from `source`; nullptr when there is
// no device or no sound server. `bufferBytes` receives the output's own buffer size.
Q_DECL_EXPORT QObject* quillhavenOpenAudio(QIODevice* source, int sampleRate,
                                           qsizetype* bufferBytes)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return nullptr;
    }
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    auto* sink = new QAudioSink(device, format);
    // The sink's own buffer size is kept: other sizes stall the PulseAudio stream in Qt 6.4.
    sink->start(source);
    if (sink->state() == QAudio::StoppedState) { // no sound server: OpenError
        delete sink;
        return nullptr;
    }
    *bufferBytes = sink->bufferSize();
    return sink;
}

// 1 while the output pulls sound, 0 while it idles, -1 once it has failed.
Q_DECL_EXPORT int quillhavenAudioState(QObject* output)
{
    const auto* sink = static_cast<QAudioSink*>(output);
    if (sink->state() == QAudio::StoppedState && sink->error() != QAudio::NoError) {
        return -1;
    }
    return sink->state() == QAudio::ActiveState ? 1 : 0;
}
}
