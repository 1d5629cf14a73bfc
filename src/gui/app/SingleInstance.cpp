#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace {

constexpr char kAck = '1';

QString userName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("USERNAME");
    if (name.isEmpty())
        name = QDir::homePath().section(QLatin1Char('/'), -1);
    return name;
}

}  // namespace

QString CSingleInstance::serverName()
{
    const QString forced = qEnvironmentVariable("TQB_INSTANCE_NAME");
    return forced.isEmpty() ? QStringLiteral("TorviQuillbook-") + userName() : forced;
}

bool CSingleInstance::handOver(const QString &file, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // Taken only when the running program says so: a program that hangs or
    // dies meanwhile must not leave the file unopened.
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.read(1) == QByteArray(1, kAck);
}

CSingleInstance::CSingleInstance(OpenRequest onRequest, QObject *parent)
    : QObject(parent), m_onRequest(std::move(onRequest)), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::takeConnection);
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::listen()
{
    if (m_server->listen(serverName()))
        return true;
    // A program that crashed leaves its socket behind; nobody answered on it.
    QLocalServer::removeServer(serverName());
    return m_server->listen(serverName());
}

void CSingleInstance::takeConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QString file = QString::fromUtf8(socket->readLine()).chopped(1);
            socket->write(QByteArray(1, kAck));
            socket->flush();
            // Opened from the event loop: the open may ask questions in dialogs
            // of its own, which must not run inside this socket's signal.
            QTimer::singleShot(0, this, [this, file] { m_onRequest(file); });
        });
    }
}
