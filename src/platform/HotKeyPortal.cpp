#include "platform/HotKey.h"

#include "platform/PlatformBackends.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QKeySequence>
#include <QRandomGenerator>

namespace {

constexpr const char *kService = "org.freedesktop.portal.Desktop";
constexpr const char *kPath = "/org/freedesktop/portal/desktop";
constexpr const char *kInterface = "org.freedesktop.portal.GlobalShortcuts";
constexpr const char *kShortcutId = "capture";

// One shortcut of BindShortcuts: (sa{sv}).
struct CPortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const CPortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, CPortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace

Q_DECLARE_METATYPE(CPortalShortcut)

namespace {

// The desktop portal's GlobalShortcuts (Wayland): the program asks for a key
// in a session; the compositor, often after asking the user, binds it and
// reports each press with Activated. Every step answers later, through a
// Response signal of a request object.
class CPortalHotKey : public IGlobalHotKey
{
    Q_OBJECT

public:
    explicit CPortalHotKey(QObject *parent) : IGlobalHotKey(parent)
    {
        qDBusRegisterMetaType<CPortalShortcut>();
        qDBusRegisterMetaType<QList<CPortalShortcut>>();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        QDBusInterface properties(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                  QStringLiteral("org.freedesktop.DBus.Properties"), bus);
        properties.setTimeout(2000);
        const QDBusReply<QDBusVariant> version =
            properties.call(QStringLiteral("Get"), QString::fromLatin1(kInterface), QStringLiteral("version"));
        m_available = version.isValid();
    }

    ~CPortalHotKey() override { release(); }

    bool isAvailable() const override { return m_available; }

    bool grab(QKeyCombination key) override
    {
        release();
        if (!m_available) {
            setErrorString(QStringLiteral("the desktop portal offers no global shortcuts"));
            return false;
        }
        m_trigger = QKeySequence(key).toString(QKeySequence::PortableText).toUpper();
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                    QStringLiteral("Activated"), this, SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        const QString token = newToken();
        const QVariantMap options{{QStringLiteral("handle_token"), token},
                                  {QStringLiteral("session_handle_token"), newToken()}};
        if (!call(QStringLiteral("CreateSession"), {options}, token, Step::CreateSession))
            return false;
        m_grabbed = true;
        return true;
    }

    void release() override
    {
        m_step = Step::None;
        if (!m_grabbed)
            return;
        m_grabbed = false;
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.disconnect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                       QStringLiteral("Activated"), this,
                       SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        if (!m_session.isEmpty()) {
            bus.asyncCall(QDBusMessage::createMethodCall(QString::fromLatin1(kService), m_session,
                                                         QStringLiteral("org.freedesktop.portal.Session"),
                                                         QStringLiteral("Close")));
            m_session.clear();
        }
    }

    bool isGrabbed() const override { return m_grabbed; }

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap &results)
    {
        const Step step = std::exchange(m_step, Step::None);
        if (step == Step::None)
            return;
        if (response != 0) {
            fail(step == Step::CreateSession ? QStringLiteral("the desktop portal refused a shortcut session")
                                             : QStringLiteral("the desktop did not grant the shortcut"));
            return;
        }
        if (step == Step::CreateSession) {
            m_session = results.value(QStringLiteral("session_handle")).toString();
            const CPortalShortcut shortcut{
                QString::fromLatin1(kShortcutId),
                {{QStringLiteral("description"), QStringLiteral("Capture the selected text as a new note")},
                 {QStringLiteral("preferred_trigger"), m_trigger}}};
            const QString token = newToken();
            const QVariantMap options{{QStringLiteral("handle_token"), token}};
            call(QStringLiteral("BindShortcuts"),
                 {QVariant::fromValue(QDBusObjectPath(m_session)),
                  QVariant::fromValue(QList<CPortalShortcut>{shortcut}), QString(), options},
                 token, Step::BindShortcuts);
        }
    }

    void onActivated(const QDBusObjectPath &session, const QString &id, qulonglong, const QVariantMap &)
    {
        if (m_grabbed && session.path() == m_session && id == QLatin1String(kShortcutId))
            Q_EMIT activated();
    }

private:
    enum class Step { None, CreateSession, BindShortcuts };

    static QString newToken()
    {
        return QStringLiteral("tqb%1").arg(QRandomGenerator::global()->generate());
    }

    // Listens on the request object the portal will make for `token` (its
    // path is known beforehand, so no answer can come before the listener),
    // then calls the method.
    bool call(const QString &method, const QVariantList &arguments, const QString &token, Step step)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QString sender = bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
        bus.connect(QString::fromLatin1(kService), request, QStringLiteral("org.freedesktop.portal.Request"),
                    QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
        m_step = step;
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                              QString::fromLatin1(kInterface), method);
        message.setArguments(arguments);
        const QDBusMessage reply = bus.call(message, QDBus::Block, 5000);
        if (reply.type() == QDBusMessage::ErrorMessage) {
            m_step = Step::None;
            setErrorString(reply.errorMessage());
            return false;
        }
        return true;
    }

    void fail(const QString &reason)
    {
        setErrorString(reason);
        release();
        Q_EMIT grabFailed(reason);
    }

    bool m_available = false;
    bool m_grabbed = false;
    Step m_step = Step::None;
    QString m_session;
    QString m_trigger;
};

}  // namespace

std::unique_ptr<IGlobalHotKey> PlatformBackends::createPortalHotKey(QObject *parent)
{
    return std::make_unique<CPortalHotKey>(parent);
}

#include "HotKeyPortal.moc"
