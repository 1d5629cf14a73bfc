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
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
