#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

// A tone of a given pitch and length, played without blocking the caller.
class ITone
{
public:
    virtual ~ITone() = default;
    virtual void play(int frequencyHz, int durationMs) = 0;
};

// Plays generated samples on the default audio output; where there is none,
// or it refuses the format, the system's own bell sounds instead.
class CSampleTone : public QObject, public ITone
{
public:
    explicit CSampleTone(QObject *parent = nullptr);
    ~CSampleTone() override;
    void play(int frequencyHz, int durationMs) override;

    static constexpr int kSampleRate = 22050;
    // Mono signed 16-bit little-endian samples of a sine wave.
    static QByteArray samples(int frequencyHz, int durationMs, int sampleRate = kSampleRate);

private:
    struct Output;
    std::unique_ptr<Output> m_output;
};

namespace PlatformTone {
// The bell of the operating system, for when no audio output can play.
void systemBell();
}  // namespace PlatformTone
