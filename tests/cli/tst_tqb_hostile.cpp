// tqb on input that never ends, blocks, loops or nests without end, and on
// odd files that must neither crash it nor damage the document: each run
// ends with a clear message, and a refused import leaves the document as
// it was.

#include "TestPaths.h"
#include "TqbProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include <memory>

namespace {

struct CResult
{
    int exitCode = -1;  // -1: crashed, or still running after a minute
    QString err;
};

}  // namespace

class TstTqbHostile : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private:
    // tqb fed from a file, or through a pipe; unlike the fixture's run it kills a
    // run that hangs, so that one hang cannot hold up the suite.
    CResult tqbFed(const QStringList &args, const QString &stdinFile = {}) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQB_SETTINGS_FILE"), path(QStringLiteral("settings.ini")));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_dir->path());
        // "| FILE": FILE through a pipe, as a shell pipeline gives it.
        QProcess feeder;
        if (stdinFile.startsWith(QLatin1Char('|'))) {
            feeder.setStandardOutputProcess(&process);
            feeder.start(QStringLiteral("cat"), {stdinFile.mid(1).trimmed()});
        } else if (!stdinFile.isEmpty()) {
            process.setStandardInputFile(stdinFile);
        }
        process.start(testpaths::tqb(), args);
        CResult result;
        if (!process.waitForStarted(30000))
            return result;
        if (stdinFile.isEmpty())
            process.closeWriteChannel();
        // A run that hangs is killed (and fails) rather than holding up the suite.
        const bool finished = process.waitForFinished(60000);
        feeder.kill();
        feeder.waitForFinished();
        if (!finished) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        if (process.exitStatus() != QProcess::NormalExit)
            return result;
        result.exitCode = process.exitCode();
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

private slots:
    void init()
    {
        QVERIFY(newFolder());
        QCOMPARE(tqbFed({QStringLiteral("new"), path(QStringLiteral("doc.tqb"))}).exitCode, 0);
    }

    // Devices, named pipes and endless standard input, as document and as
    // import file: refused with a message, the document untouched.
    void endlessAndBlockingInputIsRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("stdinFile");
        QTest::addColumn<QString>("message");
        const QString doc = QStringLiteral("doc.tqb");
        const QString fifo = QStringLiteral("pipe");
        const QString notRegular = QStringLiteral("%1 is not a regular file.");
        QTest::newRow("info on /dev/zero") << QStringList{QStringLiteral("info"), QStringLiteral("/dev/zero")}
                                           << QString() << notRegular.arg(QStringLiteral("/dev/zero"));
        QTest::newRow("info on a fifo") << QStringList{QStringLiteral("info"), fifo} << QString() << notRegular;
        QTest::newRow("from-json of /dev/zero")
            << QStringList{QStringLiteral("from-json"), QStringLiteral("/dev/zero"), QStringLiteral("out.tqb")}
            << QString() << notRegular.arg(QStringLiteral("/dev/zero"));
        QTest::newRow("import-text of /dev/zero")
            << QStringList{QStringLiteral("import-text"), doc, QStringLiteral("/dev/zero")} << QString()
            << notRegular.arg(QStringLiteral("/dev/zero"));
        QTest::newRow("import-csv of a fifo")
            << QStringList{QStringLiteral("import-csv"), doc, fifo} << QString() << notRegular;
        QTest::newRow("import-favorites of a fifo bookmark file")
            << QStringList{QStringLiteral("import-favorites"), doc, QStringLiteral("pipe.html")} << QString()
            << notRegular;
        QTest::newRow("import-text of an endless pipe")
            << QStringList{QStringLiteral("import-text"), doc, QStringLiteral("/dev/stdin")}
            << QStringLiteral("| /dev/zero") << QStringLiteral("/dev/stdin is larger than 128 MB.");
        QTest::newRow("add with endless standard input")
            << QStringList{QStringLiteral("add"), doc} << QStringLiteral("/dev/zero")
            << QStringLiteral("standard input is larger than 128 MB.");
        QTest::newRow("passwd with endless standard input")
            << QStringList{QStringLiteral("passwd"), doc} << QStringLiteral("/dev/zero")
            << QStringLiteral("the old password line of standard input is longer than");
    }

    void endlessAndBlockingInputIsRefused()
    {
#ifdef Q_OS_UNIX
        QFETCH(QStringList, args);
        QFETCH(QString, stdinFile);
        QFETCH(QString, message);
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.html"))).constData(), 0600), 0);
        const QByteArray before = readFile(QStringLiteral("doc.tqb"), "<missing>");
        const CResult run = tqbFed(args, stdinFile);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message.contains(QLatin1String("%1")) ? message.arg(path(args.last()))
                                                                          : message),
                 qPrintable(run.err));
        QCOMPARE(readFile(QStringLiteral("doc.tqb"), "<missing>"), before);
        QVERIFY(!QFile::exists(path(QStringLiteral("out.tqb"))));
#else
        QSKIP("named pipes and /dev/zero are Unix matters");
#endif
    }

    // An export onto a device or a named pipe, also through a link, or into a
    // link leading nowhere: refused before anything is written, nothing replaced.
    void exportsOntoDevicesAndPipesAreRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        const QString notRegular = QStringLiteral("%1 is not a regular file.");
        QTest::newRow("html through a link to a device") << "export-html" << "lnk.html" << notRegular;
        QTest::newRow("opml onto a device") << "export-opml" << "dev" << notRegular;
        QTest::newRow("text onto a named pipe") << "export-text" << "pipe.txt" << notRegular;
        QTest::newRow("html onto a named pipe") << "export-html" << "pipe.txt" << notRegular;
        QTest::newRow("md into a link to nothing") << "export-md" << "nowhere" << "%1 is a link leading nowhere.";
    }

    void exportsOntoDevicesAndPipesAreRefused()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, message);
        const bool device = ::mknod(QFile::encodeName(path("dev")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
        if (!device && !target.startsWith(QLatin1String("pipe")))
            QSKIP("making a device takes root");
        QVERIFY(QFile::link(path("dev"), path("lnk.html")) && QFile::link(path("gone"), path("nowhere")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe.txt")).constData(), 0600), 0);
        const CResult run = tqbFed({command, path("doc.tqb"), path(target)});
        QCOMPARE(run.err, QStringLiteral("tqb: ") + message.arg(path(target)) + QLatin1Char('\n'));
        QCOMPARE(run.exitCode, 1);
        struct stat info;
        QVERIFY(::lstat(QFile::encodeName(path("pipe.txt")).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
        QVERIFY(!device || (::lstat(QFile::encodeName(path("dev")).constData(), &info) == 0 && S_ISCHR(info.st_mode)));
        QVERIFY(!QFile::exists(path("gone")));
#else
        QSKIP("devices and named pipes are Unix matters");
#endif
    }

    // Another program rewrites the document in place (as dd conv=notrunc
    // does) between tqb's read and its check of the file: tqb reads it again
    // and gives the new version alone; a file that keeps changing is refused
    // (info, which reads only the header, refuses at once).
    void aDocumentRewrittenInPlaceWhileReadIsReadAgain_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("rewrites");  // how many checks find it rewritten
        for (const char *command : {"to-json", "find"}) {
            QTest::addRow("%s, once", command) << QString::fromLatin1(command) << 1;
            QTest::addRow("%s, every time", command) << QString::fromLatin1(command) << 100;
        }
        QTest::newRow("info, refused at once") << QStringLiteral("info") << 100;
    }
    void aDocumentRewrittenInPlaceWhileReadIsReadAgain()
    {
        QFETCH(QString, command);
        QFETCH(int, rewrites);
        const QString doc = path(QStringLiteral("notes.tqb"));
        QByteArray versions[2];
        for (const int v : {0, 1}) {
            const QString letter(QLatin1Char(char('A' + v)));
            const QJsonArray items{tqbtest::item(1, QStringLiteral("version ") + letter, QStringLiteral("note ") + letter),
                                   tqbtest::item(1, QStringLiteral("second ") + letter, QStringLiteral("note ") + letter)};
            QCOMPARE(fromJson(tqbtest::documentJson(tqbtest::header({0, 1, 2, 3, 4}, 0, 1000), items), letter), 0);
            versions[v] = tqbtest::fileBytes(path(letter));
        }
        QCOMPARE(versions[0].size(), versions[1].size());
        QVERIFY(writeFile(QStringLiteral("notes.tqb"), versions[0]));
        const QString flag = path(QStringLiteral("paused"));
        QProcess reader;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile());
        env.insert(QStringLiteral("TQB_TEST_READ_CHECK_PAUSE"), flag);
        reader.setProcessEnvironment(env);
        const QStringList args = command == QLatin1String("find") ? QStringList{command, doc, QStringLiteral("note")}
                                                                  : QStringList{command, doc};
        reader.start(testpaths::tqb(), args);
        QVERIFY(reader.waitForStarted());
        reader.closeWriteChannel();
        int checks = 0;
        while (!reader.waitForFinished(5)) {
            if (!QFile::exists(flag))
                continue;
            QFile file(doc);  // in place: same file, same size, other bytes
            if (checks++ < rewrites)
                QVERIFY(file.open(QIODevice::ReadWrite) && file.write(versions[checks % 2]) == versions[0].size());
            file.close();
            QVERIFY(QFile::remove(flag));
            QVERIFY(checks < 20);
        }
        const QByteArray out = reader.readAllStandardOutput();
        const QString err = QString::fromUtf8(reader.readAllStandardError());
        if (rewrites == 1) {
            QCOMPARE(err, QString());
            QCOMPARE(reader.exitCode(), 0);
            QCOMPARE(checks, 2);
            QVERIFY2(out.contains("version B") && out.contains("second B") && !out.contains(" A"), out.constData());
        } else {
            QCOMPARE(reader.exitCode(), command == QLatin1String("find") ? 2 : 1);  // find: 1 is "no match"
            QCOMPARE(checks, command == QLatin1String("info") ? 1 : 4);
            QCOMPARE(err, QStringLiteral("tqb: %1 kept being changed by another program while it was read. Nothing was read; try again "
                                         "when it is done.\n")
                              .arg(doc));
            QCOMPARE(out, QByteArray());
        }
    }

    // An icon file starts with two zero bytes, as an empty document does:
    // the bytes after that are no record, so it is refused and kept.
    void aFileThatOnlyStartsLikeADocumentIsKept()
    {
        const QString icon = path(QStringLiteral("picture.ico"));
        QByteArray bytes = QByteArray::fromHex("0000010001001010000001002000");
        bytes += QByteArray(1064, '\x7f');
        QVERIFY(writeFile(QStringLiteral("picture.ico"), bytes));
        const CResult run = tqbFed({QStringLiteral("add"), icon, QStringLiteral("--title"), QStringLiteral("x")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("Unexpected file format.")), qPrintable(run.err));
        QCOMPARE(readFile(QStringLiteral("picture.ico"), "<missing>"), bytes);
    }

    // A document past the size the program opens, and a JSON text past
    // the size it parses: both refused by their size, before any reading,
    // and the document is left as it was (sparse files: no disk is used).
    void filesPastTheirLimitAreRefusedAndKept_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("message");
        const qint64 gib = qint64(1) << 30;
        QTest::newRow("add to a document of 4 GiB and a byte")
            << QStringList{QStringLiteral("add"), QStringLiteral("big.tqb"), QStringLiteral("--title"),
                           QStringLiteral("x")}
            << 4 * gib + 1 << QStringLiteral("is larger than 4096 MB.");
        QTest::newRow("find in it") << QStringList{QStringLiteral("find"), QStringLiteral("big.tqb"), QStringLiteral("x")}
                                    << 4 * gib + 1 << QStringLiteral("is larger than 4096 MB.");
        QTest::newRow("from-json of a JSON text of 1 GiB and a byte")
            << QStringList{QStringLiteral("from-json"), QStringLiteral("big.tqb"), QStringLiteral("out.tqb")}
            << gib + 1 << QStringLiteral("is larger than 1024 MB.");
    }

    void filesPastTheirLimitAreRefusedAndKept()
    {
        QFETCH(QStringList, args);
        QFETCH(qint64, size);
        QFETCH(QString, message);
        for (QString &arg : args) {
            if (arg.endsWith(QLatin1String(".tqb")))
                arg = path(arg);
        }
        QFile big(path(QStringLiteral("big.tqb")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.write("\x01\x00", 2) == 2);
        QVERIFY(big.resize(size));
        big.close();
        const CResult run = tqbFed(args);
        QVERIFY(run.exitCode != 0);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(QFileInfo(big).size(), size);
        QVERIFY(!QFile::exists(path(QStringLiteral("out.tqb"))));
        QVERIFY(big.remove());
    }

    // Nine folders, each holding links to all the others: each real folder
    // is imported once, and the skipped links are reported.
    void linkedFavoritesFoldersAreWalkedOnce()
    {
        const QString top = path(QStringLiteral("favorites"));
        constexpr int kFolders = 9;
        for (int i = 0; i < kFolders; ++i)
            QVERIFY(QDir().mkpath(top + QStringLiteral("/f%1").arg(i)));
        for (int i = 0; i < kFolders; ++i) {
            for (int j = 0; j < kFolders; ++j) {
                if (i != j)
                    QVERIFY(QFile::link(top + QStringLiteral("/f%1").arg(j), top + QStringLiteral("/f%1/to%2").arg(i).arg(j)));
            }
        }
        writeFile(QStringLiteral("favorites/f3/site.url"), "[InternetShortcut]\nURL=http://example.org/\n");
        const CResult run = tqbFed({QStringLiteral("import-favorites"), path(QStringLiteral("doc.tqb")), top});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(QStringLiteral("linked folder(s) lead to folders imported already and were skipped.")),
                 qPrintable(run.err));
        const QStringList got = titles(path(QStringLiteral("doc.tqb")));
        QCOMPARE(got.size(), 1 + kFolders + 1);
        QCOMPARE(got.count(QStringLiteral("site")), 1);
    }

    // 50,000 nested lists are refused; a flat file of many folders imports.
    void deeplyNestedBookmarksAreRefused()
    {
        QByteArray deep = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
        for (int i = 0; i < 50000; ++i)
            deep += "<DT><H3>f</H3>\n<DL><p>\n";
        writeFile(QStringLiteral("deep.html"), deep);
        const CResult refused =
            tqbFed({QStringLiteral("import-favorites"), path(QStringLiteral("doc.tqb")),
                    path(QStringLiteral("deep.html"))});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("nests its elements more than 512 levels deep")),
                 qPrintable(refused.err));
        QCOMPARE(items(path(QStringLiteral("doc.tqb"))).size(), 0);

        QByteArray flat = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
        for (int i = 0; i < 5000; ++i)
            flat += "<DT><H3>folder " + QByteArray::number(i) + "</H3>\n<DL><p>\n<DT><A HREF=\"http://x/\">x</A>\n</DL><p>\n";
        flat += "</DL>\n";
        writeFile(QStringLiteral("flat.html"), flat);
        const CResult imported =
            tqbFed({QStringLiteral("import-favorites"), path(QStringLiteral("doc.tqb")),
                    path(QStringLiteral("flat.html"))});
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(items(path(QStringLiteral("doc.tqb"))).size(), 1 + 2 * 5000);
    }

    // A document or an import this user may not read is said to be that,
    // not "opened by someone else", and the document read into stays as it was.
    void filesThisUserMayNotReadAreSaidToBe()
    {
#ifdef Q_OS_UNIX
        const QString doc = path(QStringLiteral("doc.tqb"));
        writeFile(QStringLiteral("private.txt"), "secret\n");
        const QString closed = path(QStringLiteral("closed.tqb"));
        QVERIFY(QFile::copy(doc, closed));
        QVERIFY(QFile::setPermissions(closed, {}));
        QVERIFY(QFile::setPermissions(path(QStringLiteral("private.txt")), {}));
        QVERIFY(QFile::setPermissions(m_dir->path(), QFileDevice::Permissions(0x7777)));  // rwx for all
        QVERIFY(QFile::setPermissions(doc, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                               | QFileDevice::WriteOther));
        // Root reads everything: run as nobody then.
        QStringList command{testpaths::tqb()};
        if (::geteuid() == 0)
            command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                  QStringLiteral("--clear-groups")} + command;
        const auto run = [&](const QStringList &args) {
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TQB_SETTINGS_FILE"), path(QStringLiteral("settings.ini")));
            process.setProcessEnvironment(env);
            process.start(command.first(), command.mid(1) + args);
            process.waitForFinished(60000);
            return std::make_pair(process.exitCode(), QString::fromUtf8(process.readAllStandardError()));
        };
        if (run({QStringLiteral("info"), doc}).first != 0)
            QSKIP("tqb cannot be run as another user here");
        const QByteArray before = readFile(QStringLiteral("doc.tqb"), "<missing>");
        const QString denied = QStringLiteral("Unable to read from %1, access is denied.");
        QCOMPARE(run({QStringLiteral("to-json"), closed}), std::make_pair(1, QStringLiteral("tqb: %1\n").arg(denied.arg(closed))));
        const auto imported = run({QStringLiteral("import-text"), doc, path(QStringLiteral("private.txt"))});
        QCOMPARE(imported.first, 1);
        QVERIFY2(imported.second.contains(denied.arg(path(QStringLiteral("private.txt")))), qPrintable(imported.second));
        QCOMPARE(readFile(QStringLiteral("doc.tqb"), "<missing>"), before);
#endif
    }

    // Paths the favorites import cannot take: said so, nothing saved.
    void favoritesRefuseMissingAndPlainFiles_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QStringLiteral("no/such/path")
                                 << QStringLiteral("no/such/path Cannot find this file.");
        QTest::newRow("plain file") << QStringLiteral("notes.txt")
                                    << QStringLiteral("notes.txt is neither an Internet shortcut (.url) nor a "
                                                      "bookmark file (.html, .htm), nor a folder of them.");
    }

    void favoritesRefuseMissingAndPlainFiles()
    {
        QFETCH(QString, picked);
        QFETCH(QString, message);
        writeFile(QStringLiteral("notes.txt"), "just text\n");
        const QByteArray before = readFile(QStringLiteral("doc.tqb"), "<missing>");
        const CResult run = tqbFed({QStringLiteral("import-favorites"), path(QStringLiteral("doc.tqb")), path(picked)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(readFile(QStringLiteral("doc.tqb"), "<missing>"), before);
    }

    // Bytes windows-1252 leaves undefined become "?" and are reported, so
    // the document still converts; UTF-16 with its mark imports as text; a
    // line feed in the file's name becomes a blank in the folder's title.
    void oddTextImportsAsText()
    {
        const QString doc = path(QStringLiteral("doc.tqb"));
        writeFile(QStringLiteral("undefined.txt"), "Caf\xE9 \x81\x8D\x8F\x90\x9D end\n\nbody \x81\n");
        CResult run = tqbFed({QStringLiteral("import-text"), doc, path(QStringLiteral("undefined.txt"))});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(QStringLiteral("6 character(s) that the code page windows-1252 cannot hold were "
                                                 "imported as \"?\"")),
                 qPrintable(run.err));
        QJsonArray all = items(doc);
        QCOMPARE(all.size(), 2);  // to-json refuses a document holding undefined bytes
        QCOMPARE(all[1].toObject().value(QStringLiteral("title")).toString(),
                 QStringLiteral("Caf\u00e9 ????? end"));

        QByteArray utf16("\xFF\xFE");
        const QString text = QStringLiteral("Gr\u00fc\u00dfe\r\n\r\nvon hier\r\n");
        utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        writeFile(QStringLiteral("utf16.txt"), utf16);
        run = tqbFed({QStringLiteral("import-text"), doc, path(QStringLiteral("utf16.txt"))});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        all = items(doc);
        QCOMPARE(all.size(), 4);
        QCOMPARE(all[3].toObject().value(QStringLiteral("title")).toString(), QStringLiteral("Gr\u00fc\u00dfe"));
        QVERIFY(all[3].toObject().value(QStringLiteral("text")).toString().startsWith(QStringLiteral("von hier")));

        writeFile(QStringLiteral("two\nlines.txt"), "x\n");
        run = tqbFed({QStringLiteral("import-text"), doc, path(QStringLiteral("two\nlines.txt"))});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(titles(doc).contains(QStringLiteral("two lines")));
    }
};

QTEST_GUILESS_MAIN(TstTqbHostile)
#include "tst_tqb_hostile.moc"
