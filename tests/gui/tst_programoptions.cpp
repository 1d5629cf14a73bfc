// The program's --help and --version, run as a user runs them from a console:
// no display at all, so reaching the window system would make it fail.
#include "Version.h"

#include <QProcess>
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

    static CRun runWithoutDisplay(const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));  // the English texts
        env.insert(QStringLiteral("TQB_INSTANCE_NAME"),
                   QStringLiteral("tqb-test-options-%1").arg(QCoreApplication::applicationPid()));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TQB_GUI_BINARY), args);
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
        QTest::newRow("--help") << QStringLiteral("--help");
        QTest::newRow("-h") << QStringLiteral("-h");
        QTest::newRow("--help-all") << QStringLiteral("--help-all");
    }

    void helpOnStandardOutput()
    {
        QFETCH(QString, option);
        const CRun run = runWithoutDisplay({option});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        for (const char *part : {"Usage: ", "[FILE]", "torvi-quillbook /p FILE", "torvi-quillbook /pt FILE PRINTER",
                                 "--version", "--help"})
            QVERIFY2(run.out.contains(QLatin1String(part)), qPrintable(QLatin1String(part) + QLatin1String(" in\n") + run.out));
    }
};

QTEST_GUILESS_MAIN(TestProgramOptions)
#include "tst_programoptions.moc"
