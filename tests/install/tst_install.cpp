// Installs the build into a temporary prefix, as `cmake --install` does for a
// user or a package, and checks what a desktop finds there: the programs,
// the menu entry, the document type, icons, AppStream data, manual pages,
// Tab completion and the guide. The desktop's own checkers run on them, and
// lintian on the .deb, which must find no error and no warning.
#include "TestPaths.h"
#include "Version.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CRun
{
    int exitCode = -1;
    QString out;
};

CRun run(const QString &program, const QStringList &args, const QString &workingDir = {}, int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(program, args);
    CRun result;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAll());
    return result;
}

QString desktopValue(const QString &file, const QString &key)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    const QString prefix = key + QLatin1Char('=');
    for (const QString &line : QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return {};
}

// The text of a gzipped manual page, without the escapes of minus signs,
// line-break points and hyphenation.
QString manPage(const QString &gzipped)
{
    return run(QStringLiteral("gzip"), {QStringLiteral("-dc"), gzipped})
        .out.remove(QLatin1String("\\:"))
        .remove(QLatin1String("\\%"))
        .replace(QLatin1String("\\-"), QLatin1String("-"));
}

const QString kGuideLine = QStringLiteral("/share/doc/torvi-quillbook/guide/index.html\n");
const QString kDesktopFile = QStringLiteral("share/applications/org.example.TorviQuillbook.desktop");
const QString kMetainfo = QStringLiteral("share/metainfo/org.example.TorviQuillbook.metainfo.xml");
const QString kMimeType = QStringLiteral("application/x-torvi-quillbook");
// Every checker is needed: a check that skips on a machine without it passes unseen.
const QString kNotInstalled = QStringLiteral(" is not installed (bash scripts/setup.sh installs it)");

}  // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_prefix;

    QString at(const QString &relative) const { return m_prefix.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        const CRun install = run(QStringLiteral(TQB_CMAKE), {QStringLiteral("--install"), QStringLiteral(TQB_BUILD_DIR),
                                                            QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(install.exitCode == 0, qPrintable(install.out));
    }

    void layout_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path :
             {"bin/torvi-quillbook", "bin/tqb", "share/applications/org.example.TorviQuillbook.desktop",
              "share/metainfo/org.example.TorviQuillbook.metainfo.xml", "share/mime/packages/torvi-quillbook.xml",
              "share/icons/hicolor/scalable/apps/torvi-quillbook.svg",
              "share/icons/hicolor/scalable/mimetypes/application-x-torvi-quillbook.svg", "share/man/man1/tqb.1.gz",
              "share/man/man1/torvi-quillbook.1.gz", "share/bash-completion/completions/tqb",
              "share/doc/torvi-quillbook/guide/index.html", "share/doc/torvi-quillbook/copyright",
              "share/doc/torvi-quillbook/changelog.gz"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void layout()
    {
        QFETCH(QString, path);
        QVERIFY2(QFileInfo(at(path)).isFile(), qPrintable(path + QLatin1String(" is not installed")));
        if (path.startsWith(QLatin1String("bin/")))
            QVERIFY(QFileInfo(at(path)).isExecutable());
    }

    void onlyProgramsInBin()
    {
        QStringList names = QDir(at(QStringLiteral("bin"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("torvi-quillbook"), QStringLiteral("tqb")}));
    }

    void installedProgramsRun()
    {
        const CRun tqb = run(at(QStringLiteral("bin/tqb")), {QStringLiteral("--version")});
        QCOMPARE(tqb.exitCode, 0);
        QCOMPARE(tqb.out, QStringLiteral("tqb (Torvi Quillbook) " TQB_VERSION "\n"));
        const CRun gui = run(at(QStringLiteral("bin/torvi-quillbook")), {QStringLiteral("--version")});
        QCOMPARE(gui.exitCode, 0);
        QCOMPARE(gui.out, QStringLiteral("Torvi Quillbook " TQB_VERSION "\n"));
    }

    // The entry starts the installed program, for the document type the
    // shared-mime-info file declares, with an icon that is installed.
    void desktopEntryFitsTogether()
    {
        const QString entry = at(kDesktopFile);
        const QString exec = desktopValue(entry, QStringLiteral("Exec"));
        QVERIFY2(exec.endsWith(QLatin1String(" %f")), qPrintable(exec));
        QCOMPARE(QFileInfo(exec.section(QLatin1Char(' '), 0, 0)).fileName(), QStringLiteral("torvi-quillbook"));
        QCOMPARE(desktopValue(entry, QStringLiteral("TryExec")), exec.section(QLatin1Char(' '), 0, 0));
        QCOMPARE(desktopValue(entry, QStringLiteral("MimeType")), kMimeType + QLatin1Char(';'));
        QCOMPARE(desktopValue(entry, QStringLiteral("StartupWMClass")), QStringLiteral("torvi-quillbook"));
        QVERIFY(!desktopValue(entry, QStringLiteral("Keywords")).isEmpty());
        const QString icon = desktopValue(entry, QStringLiteral("Icon"));
        QVERIFY(QFileInfo(at(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(icon))).isFile());

        QFile mime(at(QStringLiteral("share/mime/packages/torvi-quillbook.xml")));
        QVERIFY(mime.open(QIODevice::ReadOnly));
        const QByteArray types = mime.readAll();
        QVERIFY(types.contains("type=\"" + kMimeType.toLatin1() + '"'));
        QVERIFY(types.contains("<glob pattern=\"*.tqb\"/>"));
        QVERIFY(types.contains("<icon name=\"application-x-torvi-quillbook\"/>"));
    }

    // The page names the guide where this install put it.
    void manPageNamesInstalledGuide()
    {
        QVERIFY(QFileInfo(at(QStringLiteral("share/doc/torvi-quillbook/guide/index.html"))).isFile());
        const QString page = manPage(at(QStringLiteral("share/man/man1/torvi-quillbook.1.gz")));
        QVERIFY2(page.contains(QLatin1Char(' ') + m_prefix.path() + kGuideLine), qPrintable(page));
        for (const char *part : {".SH ENVIRONMENT\n.TP\n.B TQB_INSTANCE_NAME", ".SH EXIT STATUS"})
            QVERIFY2(page.contains(QLatin1String(part)), part);
    }

    // A packager's staged install (DESTDIR): the files name the final prefix,
    // and no cache of the build machine's desktop lands in the staging tree.
    void stagedInstall()
    {
        QTemporaryDir stage;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), stage.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TQB_CMAKE), {QStringLiteral("--install"), QStringLiteral(TQB_BUILD_DIR),
                                                  QStringLiteral("--prefix"), QStringLiteral("/usr")});
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitCode() == 0, process.readAll().constData());
        const QString usr = stage.filePath(QStringLiteral("usr"));
        QVERIFY(QFileInfo(usr + QLatin1String("/share/mime/packages/torvi-quillbook.xml")).isFile());
        for (const char *cache : {"share/mime/mime.cache", "share/mime/globs2", "share/applications/mimeinfo.cache",
                                  "share/icons/hicolor/icon-theme.cache"})
            QVERIFY2(!QFileInfo::exists(usr + QLatin1Char('/') + QLatin1String(cache)), cache);
        const QString page = manPage(usr + QLatin1String("/share/man/man1/torvi-quillbook.1.gz"));
        QVERIFY2(page.contains(QLatin1String(" /usr") + kGuideLine), qPrintable(page));
        QCOMPARE(desktopValue(usr + QLatin1Char('/') + kDesktopFile, QStringLiteral("Exec")),
                 QStringLiteral("torvi-quillbook %f"));
    }

    // The README's flow: a build of the two programs alone installs. A tree
    // without them stops before it copies anything, and says what to build.
    void installNeedsOnlyThePrograms()
    {
        QTemporaryDir work;
        const QString build = work.filePath(QStringLiteral("build"));
        const CRun configure = run(QStringLiteral(TQB_CMAKE), {QStringLiteral("-S"), QStringLiteral(TQB_SOURCE_DIR),
                                                              QStringLiteral("-B"), build,
                                                              QStringLiteral("-DTQB_BUILD_BENCH=OFF")});
        QVERIFY2(configure.exitCode == 0, qPrintable(configure.out));
        const QString prefix = work.filePath(QStringLiteral("prefix"));
        const QStringList install{QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix};
        const CRun unbuilt = run(QStringLiteral(TQB_CMAKE), install);
        QCOMPARE(unbuilt.exitCode, 1);
        QVERIFY2(unbuilt.out.simplified().contains(QLatin1String("is not built: cmake --build ") + build
                                                   + QLatin1String(" --target tqb torvi-quillbook")),
                 qPrintable(unbuilt.out));
        QVERIFY(!QFileInfo::exists(prefix));

        // The programs as that build makes them: this build's, in its places.
        for (const QString &program : {testpaths::tqb(), testpaths::program()}) {
            const QString target = build + QLatin1Char('/') + QDir(QStringLiteral(TQB_BUILD_DIR)).relativeFilePath(program);
            QVERIFY2(QFile::copy(program, target), qPrintable(target));
        }
        const CRun built = run(QStringLiteral(TQB_CMAKE), install);
        QVERIFY2(built.exitCode == 0, qPrintable(built.out));
        QVERIFY(QFileInfo(prefix + QLatin1String("/share/doc/torvi-quillbook/changelog.gz")).isFile());
    }

    void metainfoNamesThisVersionAndEntry()
    {
        QFile file(at(kMetainfo));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray xml = file.readAll();
        QVERIFY(xml.contains("<release version=\"" TQB_VERSION "\" date=\""));
        QVERIFY(xml.contains("<launchable type=\"desktop-id\">org.example.TorviQuillbook.desktop</launchable>"));
        for (const char *part : {"<developer_name>", "<translation type=\"qt\">", "<content_rating type=\"oars-1.1\""})
            QVERIFY2(xml.contains(part), part);
        QVERIFY2(!xml.contains("example.org"), "a placeholder address");  // nothing that does not exist
    }

    void checkers_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("desktop-file-validate") << QStringLiteral("desktop-file-validate") << QStringList{at(kDesktopFile)};
        QTest::newRow("appstreamcli") << QStringLiteral("appstreamcli")
                                      << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"), at(kMetainfo)};
        QTest::newRow("man tqb") << QStringLiteral("man")
                                 << QStringList{QStringLiteral("--warnings"), QStringLiteral("-l"),
                                                at(QStringLiteral("share/man/man1/tqb.1.gz"))};
        QTest::newRow("man torvi-quillbook")
            << QStringLiteral("man")
            << QStringList{QStringLiteral("--warnings"), QStringLiteral("-l"),
                           at(QStringLiteral("share/man/man1/torvi-quillbook.1.gz"))};
    }

    void checkers()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(tool + kNotInstalled));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
        env.insert(QStringLiteral("MAN_KEEP_FORMATTING"), QString());
        process.setProcessEnvironment(env);
        process.start(QStandardPaths::findExecutable(tool), args);
        QVERIFY(process.waitForFinished(120000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitCode() == 0, qPrintable(out + err));
        if (tool == QLatin1String("man")) {
            QVERIFY2(err.isEmpty(), qPrintable(err));  // groff's warnings
            QVERIFY(out.contains(QLatin1String("NAME")) && out.contains(QLatin1String("SYNOPSIS")));
        }
    }

    // What a user's Tab gives after "tqb im", from the installed completion
    // and the installed tqb.
    void completionOfCommandsAndFiles()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("bash")).isEmpty())
            QSKIP("bash is not installed");
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkdir(QStringLiteral("folder")));
        for (const char *name : {"notes.tqb", "other notes.tqb", "list.csv"}) {
            QFile file(work.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString script = QStringLiteral(
            "PATH=\"%1:$PATH\"; source \"%2\"\n"
            "complete_line() { COMP_WORDS=(\"$@\"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _tqb;"
            " printf '%s|' \"${COMPREPLY[@]}\" | tr '\\n' ' '; echo; }\n"
            "complete_line tqb im\n"
            "complete_line tqb import-csv ''\n"
            "complete_line tqb import-csv notes.tqb ''\n"
            "complete_line tqb import-csv notes.tqb list.csv --h\n"
            "complete_line tqb --codepage ''\n"
            "complete_line tqb --codepage windows-1252 --w\n"
            "complete_line tqb --wait 5 im\n")
                                   .arg(at(QStringLiteral("bin")),
                                        at(QStringLiteral("share/bash-completion/completions/tqb")));
        const CRun bash = run(QStringLiteral("bash"), {QStringLiteral("-c"), script}, work.path());
        QCOMPARE(bash.exitCode, 0);
        const QStringList lines = bash.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 8);
        auto sorted = [](const QString &line) {
            QStringList words = line.split(QLatin1Char('|'), Qt::SkipEmptyParts);
            words.sort();
            return words;
        };
        const QStringList commands = sorted(lines[0]);
        QVERIFY2(commands.contains(QLatin1String("import-text")) && commands.contains(QLatin1String("import-csv"))
                     && commands.contains(QLatin1String("import-favorites")),
                 qPrintable(lines[0]));
        for (const QString &command : commands)
            QVERIFY(command.startsWith(QLatin1String("im")));
        QCOMPARE(sorted(lines[1]), (QStringList{"folder", "notes.tqb", "other notes.tqb"}));
        QCOMPARE(sorted(lines[2]), (QStringList{"folder", "list.csv", "notes.tqb", "other notes.tqb"}));
        QCOMPARE(sorted(lines[3]), (QStringList{"--header", "--help"}));
        // Option values and the options before a command.
        const QStringList pages = sorted(lines[4]);
        QVERIFY2(pages.size() == 10 && pages.contains(QLatin1String("windows-874"))
                     && pages.contains(QLatin1String("windows-1252")),
                 qPrintable(lines[4]));
        QCOMPARE(sorted(lines[5]), QStringList{"--wait"});
        QCOMPARE(sorted(lines[6]), commands);
    }

    // The package as dpkg installs it; lintian finds no error in it.
    void debianPackage()
    {
        for (const char *tool : {"dpkg-shlibdeps", "lintian", "dpkg-deb"})
            QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), qPrintable(QString::fromLatin1(tool) + kNotInstalled));
        QTemporaryDir out;
        const CRun cpack = run(QStringLiteral(TQB_CPACK),
                               {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path(),
                                QStringLiteral("--config"), QStringLiteral(TQB_BUILD_DIR "/CPackConfig.cmake")},
                               out.path(), 280000);
        QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.out));
        // It builds the programs it packs and says so, and never the tests.
        QVERIFY2(cpack.out.contains(QLatin1String("CPack: building tqb torvi-quillbook")), qPrintable(cpack.out));
        QVERIFY2(!cpack.out.contains(QRegularExpression(QStringLiteral("target [a-z]+_tst_"))), qPrintable(cpack.out));
        const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")});
        QCOMPARE(debs.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^torvi-quillbook_" TQB_VERSION "_[a-z0-9]+\\.deb$")).match(debs[0]).hasMatch(),
                 qPrintable(debs[0]));
        const QString deb = out.filePath(debs[0]);

        const CRun fields = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Depends")});
        QVERIFY2(fields.out.contains(QLatin1String("libqt6widgets6")), qPrintable(fields.out));  // found by shlibdeps
        QVERIFY2(fields.out.count(QLatin1String("libqt6svg6")) == 1, qPrintable(fields.out));  // the icon engine's
        const CRun recommends = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Recommends")});
        QVERIFY2(recommends.out.contains(QLatin1String("bash-completion")), qPrintable(recommends.out));
        const CRun contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb});
        for (const char *path : {"./usr/bin/torvi-quillbook", "./usr/bin/tqb", "./usr/share/applications/",
                                 "./usr/share/doc/torvi-quillbook/guide/index.html"})
            QVERIFY2(contents.out.contains(QLatin1String(path)), path);
        for (const char *cache : {"mime.cache", "mimeinfo.cache", "icon-theme.cache"})
            QVERIFY2(!contents.out.contains(QLatin1String(cache)), cache);
        QTemporaryDir unpacked;
        QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, unpacked.path()}).exitCode, 0);
        const QString page = manPage(unpacked.filePath(QStringLiteral("usr/share/man/man1/torvi-quillbook.1.gz")));
        QVERIFY2(page.contains(QLatin1String(" /usr") + kGuideLine), qPrintable(page));
        // A package is the same wherever it was built: no folder of the build
        // machine is in the programs.
        for (const char *program : {"usr/bin/torvi-quillbook", "usr/bin/tqb"}) {
            QFile file(unpacked.filePath(QString::fromLatin1(program)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains(TQB_SOURCE_DIR), program);
        }

        const CRun lintian = run(QStringLiteral("lintian"), {deb}, {}, 280000);
        QVERIFY2(lintian.exitCode >= 0, "lintian did not finish");
        const QStringList errors = lintian.out.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^[EW]: ")));
        QVERIFY2(errors.isEmpty(), qPrintable(lintian.out));
        if (!lintian.out.trimmed().isEmpty())
            qInfo().noquote() << "lintian:\n" << lintian.out;
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
