// The command line: a file to open, or the print switches of the file-type
// registration, never a path mistaken for a switch or a switch for a path.
#include "app/CommandLine.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<bool>("error");
        using A = CCommandLine::Action;
        QTest::newRow("nothing") << QStringList{} << int(A::Open) << QString() << QString() << false;
        QTest::newRow("file") << QStringList{"n.tqb"} << int(A::Open) << "n.tqb" << QString() << false;
        QTest::newRow("absolute path") << QStringList{"/home/ann/p.tqb"} << int(A::Open) << "/home/ann/p.tqb"
                                       << QString() << false;
        QTest::newRow("print") << QStringList{"/p", "n.tqb"} << int(A::Print) << "n.tqb" << QString() << false;
        QTest::newRow("print upper case") << QStringList{"/P", "n.tqb"} << int(A::Print) << "n.tqb" << QString()
                                          << false;
        QTest::newRow("print to") << QStringList{"/pt", "n.tqb", "Office", "drv", "port"} << int(A::PrintTo)
                                  << "n.tqb" << "Office" << false;
        QTest::newRow("file named p") << QStringList{"/p", "/p"} << int(A::Print) << "/p" << QString() << false;
        QTest::newRow("print without file") << QStringList{"/p"} << int(A::Print) << QString() << QString() << true;
        QTest::newRow("print to without printer") << QStringList{"/pt", "n.tqb"} << int(A::PrintTo) << "n.tqb"
                                                  << QString() << true;
        QTest::newRow("other switch ignored") << QStringList{"-platform", "n.tqb"} << int(A::Open) << "n.tqb"
                                              << QString() << false;
    }
    void parses()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QString, file);
        QFETCH(QString, printer);
        QFETCH(bool, error);
        const CCommandLine line = CCommandLine::parse(QStringList{QStringLiteral("torvi-quillbook")} + args);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.file, file);
        QCOMPARE(line.printer, printer);
        QCOMPARE(!line.error.isEmpty(), error);
    }

    // What is left once Qt took its own switches: the print switches, file
    // names and --help/--version pass; anything else is Qt's parser error.
    void unknownOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("file") << QStringList{"n.tqb"} << QString();
        QTest::newRow("print switches") << QStringList{"/p", "n.tqb", "-P", "m.tqb", "/PT", "n.tqb", "Office", "drv"}
                                        << QString();
        QTest::newRow("-pt") << QStringList{"-pt", "n.tqb", "Office"} << QString();
        QTest::newRow("help and version") << QStringList{"-h", "--help-all", "-version"} << QString();
        QTest::newRow("after --") << QStringList{"--", "-odd.tqb"} << QString();
        QTest::newRow("unknown") << QStringList{"--bogus", "n.tqb"} << "Unknown option 'bogus'.";
        QTest::newRow("single dash word") << QStringList{"n.tqb", "-bogus"} << "Unknown option 'bogus'.";
        QTest::newRow("two") << QStringList{"-x", "--y"} << "Unknown options: x, y.";
    }
    void unknownOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QCOMPARE(CCommandLine::unknownOptions(QStringList{QStringLiteral("torvi-quillbook")} + args), error);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
