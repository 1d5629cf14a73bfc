#include "app/ShellRegistration.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestShellRegistration : public QObject
{
    Q_OBJECT

private slots:
    void writesTheDocumentType()
    {
        QTemporaryDir dir;
        QSettings classes(dir.filePath(QStringLiteral("classes.ini")), QSettings::IniFormat);
        CShellRegistration::apply(classes, QStringLiteral("C:/Program Files/TQ/tq.exe"));
        QCOMPARE(classes.value(QStringLiteral(".tqb/.")).toString(), QStringLiteral("TorviQuillbook.Document"));
        QCOMPARE(classes.value(QStringLiteral("TorviQuillbook.Document/.")).toString(), QStringLiteral("TorviQ Document"));
        const QString open = classes.value(QStringLiteral("TorviQuillbook.Document/shell/open/command/.")).toString();
        QCOMPARE(open, QDir::toNativeSeparators(QStringLiteral("\"C:/Program Files/TQ/tq.exe\"")) + " \"%1\"");
        QVERIFY(classes.contains(QStringLiteral("TorviQuillbook.Document/shell/print/command/.")));
        QVERIFY(classes.contains(QStringLiteral("TorviQuillbook.Document/shell/printto/command/.")));
    }
};

QTEST_GUILESS_MAIN(TestShellRegistration)
#include "tst_shellregistration.moc"
