#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <memory>

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

QByteArray CSingleInstance::encodeRequest(const QString &file)
{
    // The name's length first: a file name may hold any character, line feeds too.
    const QByteArray name = file.toUtf8();
    QByteArray request(4, Qt::Uninitialized);
    qToBigEndian(quint32(name.size()), request.data());
    return request + name;
}

std::optional<QString> CSingleInstance::takeRequest(QByteArray &received)
{
    if (received.size() < 4)
        return std::nullopt;
    const quint32 length = qFromBigEndian<quint32>(received.constData());
    if (length > kMaxRequest || received.size() - 4 < qsizetype(length))
        return std::nullopt;
    const QString file = QString::fromUtf8(received.constData() + 4, qsizetype(length));
    received.remove(0, 4 + qsizetype(length));
    return file;
}

QString CSingleInstance::startLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(serverName() + QStringLiteral(".start.lock"));
}

bool CSingleInstance::anotherIsListening()
{
    QLocalSocket probe;
    probe.connectToServer(serverName());
    return probe.waitForConnected(1000);
}

bool CSingleInstance::handOver(const QString &file, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encodeRequest(file));
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
    // A program that crashed leaves its socket behind; only a socket nobody
    // answers on is removed, never a running program's.
    if (anotherIsListening())
        return false;
    QLocalServer::removeServer(serverName());
    return m_server->listen(serverName());
}

void CSingleInstance::takeConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
            received->append(socket->readAll());
            if (received->size() >= 4 && qFromBigEndian<quint32>(received->constData()) > kMaxRequest) {
                socket->abort();  // not one of ours
                return;
            }
            const std::optional<QString> request = takeRequest(*received);
            if (!request)
                return;
            const QString file = *request;
            socket->write(QByteArray(1, kAck));
            socket->flush();
            // Opened from the event loop: the open may ask questions in dialogs
            // of its own, which must not run inside this socket's signal.
            QTimer::singleShot(0, this, [this, file] { m_onRequest(file); });
        });
    }
}
