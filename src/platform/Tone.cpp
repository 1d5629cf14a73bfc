#include "platform/Tone.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QtEndian>

#include <cmath>
#include <numbers>

struct CSampleTone::Output
{
    QBuffer buffer;
    std::unique_ptr<QAudioSink> sink;
};

CSampleTone::CSampleTone(QObject *parent) : QObject(parent) {}

CSampleTone::~CSampleTone()
{
    if (m_output && m_output->sink)
        m_output->sink->stop();
}

QByteArray CSampleTone::samples(int frequencyHz, int durationMs, int sampleRate)
{
    const qint64 count = qint64(sampleRate) * qMax(0, durationMs) / 1000;
    QByteArray bytes(count * 2, Qt::Uninitialized);
    const double step = 2.0 * std::numbers::pi * frequencyHz / sampleRate;
    for (qint64 i = 0; i < count; ++i) {
        const auto v = qint16(std::lround(std::sin(step * double(i)) * 12000.0));
        qToLittleEndian(v, bytes.data() + i * 2);
    }
    return bytes;
}

void CSampleTone::play(int frequencyHz, int durationMs)
{
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(format)) {
        PlatformTone::systemBell();
        return;
    }
    // A tone still playing is replaced; the sink pulls from the buffer on
    // the event loop, so play() returns at once.
    if (m_output && m_output->sink)
        m_output->sink->stop();
    m_output = std::make_unique<Output>();
    m_output->buffer.setData(samples(frequencyHz, durationMs));
    m_output->buffer.open(QIODevice::ReadOnly);
    m_output->sink = std::make_unique<QAudioSink>(device, format);
    QAudioSink *sink = m_output->sink.get();
    QObject::connect(sink, &QAudioSink::stateChanged, this, [sink](QAudio::State state) {
        if (state == QAudio::IdleState)
            sink->stop();
    });
    sink->start(&m_output->buffer);
    if (sink->error() != QAudio::NoError)
        PlatformTone::systemBell();
}
