#pragma once

#include <QObject>
#include <QString>

#include <QByteArray>

#include <functional>
#include <optional>

class QLocalServer;

// One program per user: a second start hands its file to the running one
// (which opens it as File > Open does and comes to the front) and ends.
// Without a running program the first start listens for the later ones.
class CSingleInstance : public QObject
{
    Q_OBJECT

public:
    // The name the running program listens on: one per user. The variable
    // TQB_INSTANCE_NAME replaces it, so that tests do not meet the user's own.
    static QString serverName();

    // Hands `file` (absolute; empty: just come to the front) to a running
    // program. True when one took it, and this process should end.
    static bool handOver(const QString &file, int timeoutMs = 5000);

    // Starts of the program take this lock (in the runtime folder) from
    // their hand-over to their listening, so that two starts at the same
    // moment cannot both miss each other and both run.
    static QString startLockPath();

    // The hand-over's message: the name's length (4 bytes, big-endian), then
    // the name in UTF-8. takeRequest() takes one whole request off the front
    // of what was received, or nothing while it is incomplete.
    static constexpr quint32 kMaxRequest = 1 << 16;
    static QByteArray encodeRequest(const QString &file);
    static std::optional<QString> takeRequest(QByteArray &received);

    using OpenRequest = std::function<void(const QString &file)>;
    explicit CSingleInstance(OpenRequest onRequest, QObject *parent = nullptr);
    ~CSingleInstance() override;

    // Starts listening; false (the program runs on alone) when that fails.
    bool listen();

private:
    void takeConnection();
    static bool anotherIsListening();

    OpenRequest m_onRequest;
    QLocalServer *m_server;
};
