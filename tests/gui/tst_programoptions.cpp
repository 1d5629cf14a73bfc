// The program's --help and --version, run as a user runs them from a console:
// no display at all, so reaching the window system would make it fail.
#include "TestPaths.h"
#include "Version.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestProgramOptions : public QObject
{
    Q_OBJECT

private:
    struct CRun
    {
        int exitCode = -1;
        QString out;
        QString err;
    };

    static QTemporaryDir &runtimeDir()
    {
        static QTemporaryDir dir;  // private to the user, as the session's is
        return dir;
    }

    static CRun runWithoutDisplay(const QStringList &args, const QString &lang = QStringLiteral("C.UTF-8"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), lang);  // C: the English texts
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir().path());  // as a desktop session has
        env.insert(QStringLiteral("TQB_INSTANCE_NAME"),
                   QStringLiteral("tqb-test-options-%1").arg(QCoreApplication::applicationPid()));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(testpaths::program(), args);
        CRun run;
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.exitCode = process.exitCode();
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

private slots:
    void versionOnStandardOutput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--version") << QStringList{"--version"};
        QTest::newRow("-v") << QStringList{"-v"};
        QTest::newRow("after Qt's own switch") << QStringList{"-platform", "offscreen", "--version"};
        QTest::newRow("beside a file name") << QStringList{"notes.tqb", "--version"};
    }

    void versionOnStandardOutput()
    {
        QFETCH(QStringList, args);
        const CRun run = runWithoutDisplay(args);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Torvi Quillbook " TQB_VERSION "\n"));
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    }

    void helpOnStandardOutput_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("qtSwitches");  // listed only by --help-all
        const QStringList qtSwitches{"--platform", "--session"};
        QTest::newRow("--help") << QStringLiteral("--help") << QStringList();
        QTest::newRow("-h") << QStringLiteral("-h") << QStringList();
        QTest::newRow("--help-all") << QStringLiteral("--help-all") << qtSwitches;
    }

    void helpOnStandardOutput()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, qtSwitches);
        const CRun run = runWithoutDisplay({option});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        for (const char *part : {"Usage: ", "[FILE]", "torvi-quillbook /p FILE", "torvi-quillbook /pt FILE PRINTER",
                                 "--version", "--help"})
            QVERIFY2(run.out.contains(QLatin1String(part)), qPrintable(QLatin1String(part) + QLatin1String(" in\n") + run.out));
        for (const QString &qtSwitch : {QStringLiteral("--platform"), QStringLiteral("--session")}) {
            const bool listed = run.out.contains(QLatin1String("\n  ") + qtSwitch + QLatin1Char(' '));
            QVERIFY2(listed == qtSwitches.contains(qtSwitch), qPrintable(qtSwitch + QLatin1String(" in\n") + run.out));
        }
    }

    // A German user's --help is German throughout, Qt's lines too.
    void helpInGerman()
    {
        const CRun run = runWithoutDisplay({QStringLiteral("--help")}, QStringLiteral("de_DE.UTF-8"));
        QCOMPARE(run.exitCode, 0);
        for (const char *english : {"Displays help", "Displays version", "Options:", "Arguments:", "Usage:",
                                    "The document to open"})
            QVERIFY2(!run.out.contains(QLatin1String(english)), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("torvi-quillbook /pt")), qPrintable(run.out));
    }

    // An option the program does not know is refused before a window opens;
    // Qt's own switches and the print switches are not refused.
    void unknownOptionIsAUsageError_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("--bogus") << QStringList{"--bogus"} << "Unknown option 'bogus'.\n";
        QTest::newRow("-bogus beside a file") << QStringList{"notes.tqb", "-bogus"} << "Unknown option 'bogus'.\n";
        QTest::newRow("two") << QStringList{"--bogus", "-x"} << "Unknown options: bogus, x.\n";
        QTest::newRow("after /p FILE") << QStringList{"/p", "notes.tqb", "--bogus"} << "Unknown option 'bogus'.\n";
    }

    void unknownOptionIsAUsageError()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        // Qt's own switches go first, as a desktop may put them; without them
        // the program would need a display, which there is none of.
        for (const QStringList &qtSwitches : {QStringList{"-platform", "offscreen", "-style", "fusion"},
                                              QStringList{"--style=fusion", "-reverse"}, QStringList{}}) {
            const CRun run = runWithoutDisplay(qtSwitches + args);
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.err, error);
            QVERIFY(run.out.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestProgramOptions)
#include "tst_programoptions.moc"
