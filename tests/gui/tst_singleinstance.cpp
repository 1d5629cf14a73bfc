// A second start of the program with a file hands it to the running one,
// which opens it, and ends without a window of its own.
#include "TestPaths.h"
#include "DocFixture.h"
#include "app/SingleInstance.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Never the user's own running program.
        qputenv("TQB_INSTANCE_NAME", QByteArray("tqb-test-") + QByteArray::number(QCoreApplication::applicationPid()));
    }

    void nothingRunningMeansNoHandOver()
    {
        QVERIFY(!CSingleInstance::handOver(QStringLiteral("/tmp/x.tqb"), 2000));
    }

    // The second start hands its file over and ends; the running program
    // opens it. A relative name is taken from the second start's own folder;
    // a name holding a line feed arrives whole.
    void secondStartHandsItsFileOver_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("relative");
        QTest::newRow("relative name") << QStringLiteral("second.tqb") << QByteArray("handed over") << true;
        QTest::newRow("line feed in the name") << QStringLiteral("nl\nx.tqb") << QByteArray("two lines") << false;
    }

    void secondStartHandsItsFileOver()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(bool, relative);
        QTemporaryDir dir;
        CDocFixture maker;
        maker.addRootAndChild(text);
        const QString path = dir.filePath(name);
        QVERIFY(maker.doc->saveDocument(path));

        CTorviQuillbookApp app(
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("app.ini")), QSettings::IniFormat));
        QVERIFY(app.startUp({QStringLiteral("torvi-quillbook")}));
        CSingleInstance instance([&app](const QString &file) { app.openFromAnotherInstance(file); });
        QVERIFY(instance.listen());

        QProcess second;
        second.setWorkingDirectory(dir.path());
        second.start(testpaths::program(), {relative ? name : path});
        QVERIFY(second.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE(app.document().pathName(), path);
        QCOMPARE(app.document().texts().value(0), text);
    }


    // Two starts at the same moment, ten times: each time one program runs
    // on and can be reached, and the other has handed over and ended.
    void twoStartsAtOnceLeaveOneProgram()
    {
        const QByteArray saved = qgetenv("TQB_INSTANCE_NAME");
        const auto restore = qScopeGuard([&] { qputenv("TQB_INSTANCE_NAME", saved); });
        for (int round = 0; round < 10; ++round) {
            qputenv("TQB_INSTANCE_NAME", saved + "-race-" + QByteArray::number(round));
            QProcess first;
            QProcess second;
            first.start(testpaths::program(), {});
            second.start(testpaths::program(), {});
            QVERIFY(first.waitForStarted(10000));
            QVERIFY(second.waitForStarted(10000));
            QTRY_VERIFY_WITH_TIMEOUT(first.state() == QProcess::NotRunning || second.state() == QProcess::NotRunning,
                                     20000);
            QProcess &ended = first.state() == QProcess::NotRunning ? first : second;
            QProcess &running = &ended == &first ? second : first;
            QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
            QCOMPARE(ended.exitCode(), 0);
            QVERIFY2(CSingleInstance::handOver(QString(), 10000), qPrintable(QStringLiteral("round %1").arg(round)));
            QCOMPARE(running.state(), QProcess::Running);
            running.kill();
            QVERIFY(running.waitForFinished(10000));
        }
    }

    // "torvi-quillbook notes.tqb" typed in a terminal opens notes.tqb of that
    // terminal's folder, although start-up moves to the program's own folder.
    void aFileNamedInATerminalOpensFromItsFolder()
    {
        QTemporaryDir dir;
        CDocFixture maker;
        maker.addRootAndChild("from the terminal");
        QVERIFY(maker.doc->saveDocument(dir.filePath(QStringLiteral("notes.tqb"))));

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("TQB_INSTANCE_NAME"), QStringLiteral("tqb-terminal-%1").arg(QCoreApplication::applicationPid()));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(testpaths::program(), {QStringLiteral("notes.tqb")});
        QVERIFY(program.waitForStarted(10000));
        // The file it opened heads the recent-file list.
        const QString store = dir.filePath(QStringLiteral("config/Torvi/Torvi Quillbook.conf"));
        const auto firstRecent = [&] { return QSettings(store, QSettings::IniFormat).value(QStringLiteral("Recent File List/File1")).toString(); };
        QTRY_COMPARE_WITH_TIMEOUT(firstRecent(), dir.filePath(QStringLiteral("notes.tqb")), 20000);
        QCOMPARE(program.state(), QProcess::Running);  // with its window, not a message and an end
        program.kill();
        QVERIFY(program.waitForFinished(10000));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
