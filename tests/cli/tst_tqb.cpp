// Runs the built tqb as a process on files in a temporary folder, with its
// own settings file, and checks exit codes, outputs and the files written.

#include "TestPaths.h"
#include "TqbProcess.h"
#include "Version.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

using namespace tqbtest;

QJsonArray ints(std::initializer_list<int> values)
{
    QJsonArray array;
    for (int v : values)
        array.append(v);
    return array;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// Every character the page maps to a byte of 1..255, in byte order.
QString mappedCharacters(const CCodePage &page)
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
        if (page.maps(quint8(b)))
            bytes.append(char(b));
    }
    return page.toUnicode(bytes);
}

QString repeated(const QString &pattern, int length)
{
    QString s;
    s.reserve(length);
    while (s.size() < length)
        s += pattern;
    s.truncate(length);
    return s;
}

// A file of the older layout: no header, schema 1, one root item titled by one WORD.
QByteArray schema1File(quint16 titleWord)
{
    QByteArray b = QByteArray::fromHex("0100ffff01000a00") + "CDataNotes";
    b += le32(1);
    b += QByteArray::fromHex("0100");
    QByteArray w(2, '\0');
    qToLittleEndian(titleWord, w.data());
    b += w;
    b += QByteArray::fromHex("0000");
    return b;
}

}  // namespace

class TstTqb : public QObject, private tqbtest::CTqbFixture
{
    Q_OBJECT

private:
    void configureBackup(bool on, const QString &end = QStringLiteral("/"))
    {
        QSettings store(settingsFile(), QSettings::IniFormat);
        CSettings settings(store);
        CBackupSettings backup;
        backup.on = on;
        backup.folder = path(QStringLiteral("bk")) + end;
        backup.versions = 3;
        backup.periodDays = 1;
        backup.store(settings);
        store.sync();
    }

private slots:
    void init() { QVERIFY(newFolder()); }

    void workedExampleIsByteExact()
    {
        const qint64 t = 1700000000;
        const QByteArray json = documentJson(header(ints({0, 1, 2, 3, 4}), 2, t), {});
        QCOMPARE(fromJson(json, QStringLiteral("w.tqb")), 0);

        QByteArray expected = QByteArray::fromHex("0100ffff02000a00") + "CDataNotes";
        expected += QByteArray::fromHex("00000000" "0000" "0000");
        for (quint32 icon = 0; icon < 5; ++icon)
            expected += le32(icon);
        expected += le32(2) + le32(0) + le32(quint32(t)) + QByteArray(16, '\0') + le32(1);
        QCOMPARE(expected.size(), 78);
        QCOMPARE(readFile(QStringLiteral("w.tqb")), expected);

        // Read back: the same values, with the flag the file now carries.
        const CRun run = toJson(QStringLiteral("w.tqb"));
        QCOMPARE(run.exitCode, 0);
        QJsonObject head = header(ints({0, 1, 2, 3, 4}), 2, t);
        head.insert("password", false);
        QCOMPARE(parse(run.out), parse(documentJson(head, {})));
    }

    void newWritesHeaderOnlyAndNeverOverwrites()
    {
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        QCOMPARE(tqb({"new", "n.tqb"}).exitCode, 0);
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        const QByteArray bytes = readFile(QStringLiteral("n.tqb"));
        QCOMPARE(bytes.size(), 78);
        const qint64 stamp = qFromLittleEndian<qint32>(bytes.constData() + 54);
        QVERIFY(stamp >= before && stamp <= after);

        writeFile(QStringLiteral("keep.tqb"), "precious");
        const CRun again = tqb({"new", "keep.tqb"});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains("already exists"));
        QCOMPARE(readFile(QStringLiteral("keep.tqb")), QByteArray("precious"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("codePage");
        QTest::addColumn<QByteArray>("password");
        for (const char *page : {"windows-1252", "windows-1251"}) {
            QTest::addRow("%s plain", page) << QString::fromLatin1(page) << QByteArray();
            QTest::addRow("%s password", page) << QString::fromLatin1(page) << QByteArray("Qu1ll-b00k");
        }
    }

    void roundTrip()
    {
        QFETCH(QString, codePage);
        QFETCH(QByteArray, password);
        const CCodePage page(codePage);
        QVERIFY(page.isValid());
        const QString all = mappedCharacters(page);
        QVERIFY(all.size() >= 250);
        QString reversed = all;
        std::reverse(reversed.begin(), reversed.end());

        QJsonObject head = header(ints({5, 6, 7, 8, 9}), 1, 1600000000);
        head.insert("password", !password.isEmpty());
        const QJsonArray items{
            item(1, QString(), QString()),
            item(2, repeated(all, 65534), repeated(reversed, 65535), ints({10, 20, 30, 40, 59}), 2),
            item(3, repeated(reversed, 65535), repeated(all, 65534)),
            item(1, all, reversed + "\r\n" + all, ints({79, 0, 1, 2, 3}), 0, -1, ints({0, 12, -7, 0, 0}), 4),
            item(5, "r", "reminder", ints({1, 2, 3, 4, 5}), 1, 1, ints({1700000000, 3600, 2, 1700003600, 1700007200}),
                 5),
        };
        const QByteArray json = documentJson(head, items);
        QCOMPARE(fromJson(json, QStringLiteral("r.tqb"), password.isEmpty() ? QByteArray() : password, codePage), 0);

        const CRun run = toJson(QStringLiteral("r.tqb"), password.isEmpty() ? QByteArray() : password, codePage);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(parse(run.out), parse(json));

        const CRun info = tqb({"info", "r.tqb"});
        QVERIFY(info.out.contains(password.isEmpty() ? "password: no\n" : "password: yes\n"));
        if (!password.isEmpty()) {
            // Enciphered: without the password nothing is read at all.
            const CRun plain = toJson(QStringLiteral("r.tqb"), {}, QStringLiteral("windows-1256"));
            QCOMPARE(plain.exitCode, 1);
            QVERIFY(plain.err.contains("asks for a password"));
            QVERIFY(plain.out.isEmpty());
        }
    }

    void wrongOrMissingPasswordIsRefused()
    {
        QJsonObject head = header(ints({0, 1, 2, 3, 4}), 2, 1000000000);
        head.insert("password", true);
        const QJsonArray items{item(1, "Bank", "PIN 1234\r\nsecond line", ints({3, 4, 5, 6, 7})),
                               item(2, "Mail", "account: someone", ints({8, 9, 10, 11, 12}), 0, 0,
                                    ints({1100000000, 60, 0, 1100000600, 0}), 1)};
        const QByteArray original = documentJson(head, items);
        QCOMPARE(fromJson(original, QStringLiteral("p.tqb"), "right-one"), 0);
        const QByteArray before = readFile(QStringLiteral("p.tqb"));

        // Each reading command, with a wrong password and with none: exit 1,
        // a message, no output, no file written.
        const QList<QStringList> commands{{"to-json", "p.tqb"}, {"tree", "p.tqb"}, {"export-text", "p.tqb", "p.txt"}};
        for (const QStringList &command : commands) {
            const CRun wrong = tqb(command + QStringList{"--password-stdin"}, "wrong-two\n");
            QCOMPARE(wrong.exitCode, 1);
            QVERIFY2(wrong.err.contains("password seems to be wrong"), qPrintable(wrong.err));
            QVERIFY(wrong.out.isEmpty());
            const CRun none = tqb(command);
            QCOMPARE(none.exitCode, 1);
            QVERIFY2(none.err.contains("asks for a password"), qPrintable(none.err));
            QVERIFY(none.out.isEmpty());
        }
        QVERIFY(!QFile::exists(path(QStringLiteral("p.txt"))));

        // passwd with a wrong old password leaves the file as it was.
        const CRun passwd = tqb({"passwd", "p.tqb"}, "wrong-two\nnew-three\n");
        QCOMPARE(passwd.exitCode, 1);
        QVERIFY(passwd.err.contains("password seems to be wrong"));
        QCOMPARE(readFile(QStringLiteral("p.tqb")), before);
        // info needs none, but a wrong one given is not used to decipher.
        QCOMPARE(tqb({"info", "p.tqb", "--password-stdin"}, "wrong-two\n").exitCode, 1);
        QCOMPARE(tqb({"info", "p.tqb"}).exitCode, 0);

        // The right one still reads everything, and passwd works with it.
        QCOMPARE(parse(toJson(QStringLiteral("p.tqb"), "right-one").out), parse(original));
        QCOMPARE(tqb({"passwd", "p.tqb"}, "right-one\nnew-three\n").exitCode, 0);
        QCOMPARE(parse(toJson(QStringLiteral("p.tqb"), "new-three").out).value("items"), QJsonValue(items));
    }

    void passwdChangesAndRemovesPassword()
    {
        const QByteArray json = documentJson(QJsonValue::Null, {item(1, "Only", "text")});
        QCOMPARE(fromJson(json, QStringLiteral("c.tqb")), 0);
        const QJsonArray plainItems = parse(toJson(QStringLiteral("c.tqb")).out).value("items").toArray();

        QCOMPARE(tqb({"passwd", "c.tqb"}, "\nnew-pass\n").exitCode, 0);
        QVERIFY(tqb({"info", "c.tqb"}).out.contains("password: yes\n"));
        QCOMPARE(parse(toJson(QStringLiteral("c.tqb"), "new-pass").out).value("items").toArray(), plainItems);

        // A password that cannot encipher is refused and the file stays as it was.
        const QByteArray before = readFile(QStringLiteral("c.tqb"));
        const CRun refused = tqb({"passwd", "c.tqb"}, "new-pass\nzzzz\n");
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.contains("This password does not code for your document"));
        QCOMPARE(readFile(QStringLiteral("c.tqb")), before);
        QCOMPARE(tqb({"passwd", "c.tqb"}, "new-pass\n").exitCode, 1);  // the new line is missing
        QCOMPARE(readFile(QStringLiteral("c.tqb")), before);
        const CRun noOld = tqb({"passwd", "c.tqb"}, "\nother-pass\n");
        QCOMPARE(noOld.exitCode, 1);
        QVERIFY(noOld.err.contains("has a password"));
        QCOMPARE(readFile(QStringLiteral("c.tqb")), before);

        QCOMPARE(tqb({"passwd", "c.tqb"}, "new-pass\n\n").exitCode, 0);
        QVERIFY(tqb({"info", "c.tqb"}).out.contains("password: no\n"));
        QCOMPARE(parse(toJson(QStringLiteral("c.tqb")).out).value("items").toArray(), plainItems);
    }

    void unusablePasswordsRefused()
    {
        const CRun repeated = tqb({"new", "u.tqb", "--password-stdin"}, "aaaa\n");
        QCOMPARE(repeated.exitCode, 1);
        QVERIFY(repeated.err.contains("does not code"));
        QVERIFY(!QFile::exists(path(QStringLiteral("u.tqb"))));

        // The euro sign is byte 0x80 in windows-1252: no key can come from it.
        const CRun euro = tqb({"new", "u.tqb", "--password-stdin"}, QStringLiteral("ab\u20ac\n").toUtf8());
        QCOMPARE(euro.exitCode, 1);
        QVERIFY(euro.err.contains("cannot be used for coding"));
        QVERIFY(!QFile::exists(path(QStringLiteral("u.tqb"))));

        const CRun outside = tqb({"new", "u.tqb", "--password-stdin"}, QStringLiteral("\u0416\u0416x\n").toUtf8());
        QCOMPARE(outside.exitCode, 1);
        QVERIFY(outside.err.contains("cannot be stored in this document's code page"));

        QCOMPARE(tqb({"new", "u.tqb", "--password-stdin"}, "22222\n").exitCode, 0);
        QVERIFY(tqb({"info", "u.tqb"}).out.contains("password: yes\n"));
    }

    void exportTextMatchesSaveAs()
    {
        const QByteArray json = documentJson(header(ints({0, 1, 2, 3, 4}), 2, 1600000000),
                                             {item(1, "Root", QString()), item(2, "Child", "a\r\n\r\nb")});
        QCOMPARE(fromJson(json, QStringLiteral("e.tqb")), 0);
        const CRun run = tqb({"export-text", "e.tqb", "e.txt"});
        QCOMPARE(run.exitCode, 0);
        const QByteArray expected = QByteArray(80, '_') + "\r\n\r\n*Root*\r\n\r\n\r\n"
                                    + "    " + QByteArray(76, '_') + "\r\n\r\n    *Child*\r\n\r\n"
                                    + "    a\r\n\r\n    b\r\n\r\n";
        QCOMPARE(readFile(QStringLiteral("e.txt")), expected);

        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("dir.txt")));
        const CRun failed = tqb({"export-text", "e.tqb", "dir.txt"});
        QCOMPARE(failed.exitCode, 1);
        QVERIFY(failed.err.contains("Text file error!"));
    }

    void infoAndTree()
    {
        const qint64 t = 1600000000;
        const QByteArray json =
            documentJson(header(ints({5, 6, 7, 8, 9}), 1, t),
                         {item(1, "Root", ""), item(2, "Child", ""), item(3, "Grand", ""), item(1, "Second", ""),
                          item(5, "Other", "")});
        QCOMPARE(fromJson(json, QStringLiteral("i.tqb"), "key-word"), 0);

        const QByteArray deciphered = "items: 5\nheader: yes\nschema: 2\npassword: yes\nprotection: compatible\nroot sort: 1\n"
                                      "default icons: 5 6 7 8 9\ncreated: "
                                      + QDateTime::fromSecsSinceEpoch(t).toString(Qt::ISODate).toUtf8() + "\n";
        const CRun withKey = tqb({"info", "i.tqb", "--password-stdin"}, "key-word\n");
        QCOMPARE(withKey.exitCode, 0);
        QCOMPARE(withKey.out, deciphered);

        // Without the password: no question; what needs the key is unknown,
        // not shown as the wrong numbers it reads as.
        const CRun stored = tqb({"info", "i.tqb"});
        QCOMPARE(stored.exitCode, 0);
        QCOMPARE(stored.err, QString());
        QCOMPARE(stored.out, QByteArray("items: 5\nheader: yes\nschema: 2\npassword: yes\nprotection: compatible\n"
                                        "root sort: 1\ndefault icons: -\ncreated: -\n"));

        const CRun tree = tqb({"tree", "i.tqb", "--password-stdin"}, "key-word\n");
        QCOMPARE(tree.exitCode, 0);
        QCOMPARE(tree.out, QByteArray("Root\n    Child\n        Grand\nSecond\n    Other\n"));

    }

    void fileWithoutHeader()
    {
        writeFile(QStringLiteral("old.tqb"), schema1File('A'));
        const CRun info = tqb({"info", "old.tqb"});
        QCOMPARE(info.exitCode, 0);
        QCOMPARE(info.out, QByteArray("items: 1\nheader: no\nschema: 1\npassword: -\nprotection: -\nroot sort: -\n"
                                      "default icons: -\ncreated: -\n"));
        QCOMPARE(tqb({"tree", "old.tqb"}).out, QByteArray("A\n"));
        const QJsonObject json = parse(toJson(QStringLiteral("old.tqb")).out);
        QVERIFY(json.value("header").isNull());
        QCOMPARE(json.value("items").toArray().at(0).toObject(),
                 item(1, "A", "", ints({-1, -1, -1, -1, -1}), -1, -1));

        // An empty file is an empty document.
        writeFile(QStringLiteral("empty.tqb"), {});
        QCOMPARE(tqb({"info", "empty.tqb"}).out,
                 QByteArray("items: 0\nheader: no\nschema: -\npassword: -\nprotection: -\nroot sort: -\ndefault icons: -\n"
                            "created: -\n"));
    }

    void codePageLimits()
    {
        const QByteArray cyrillic = documentJson(QJsonValue::Null, {item(1, "ok", ""), item(1, "\u0416uk", "")});
        const CRun refused = tqb({"from-json", "missing.json", "x.tqb"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.contains("cannot read"));

        writeFile(QStringLiteral("c.json"), cyrillic);
        const CRun outside = tqb({"from-json", "c.json", "c.tqb"});
        QCOMPARE(outside.exitCode, 1);
        QVERIFY2(outside.err.contains("items[1].title") && outside.err.contains("U+0416"), qPrintable(outside.err));
        QVERIFY(!QFile::exists(path(QStringLiteral("c.tqb"))));

        QCOMPARE(tqb({"from-json", "c.json", "c.tqb", "--codepage", "windows-1251"}).exitCode, 0);
        const CRun back = toJson(QStringLiteral("c.tqb"), {}, QStringLiteral("cp1251"));
        QCOMPARE(parse(back.out).value("items").toArray().at(1).toObject().value("title"), QJsonValue("\u0416uk"));
        // The same byte under windows-1252 is another character, not an error.
        QCOMPARE(parse(toJson(QStringLiteral("c.tqb")).out).value("items").toArray().at(1).toObject().value("title"),
                 QJsonValue("\u00c6uk"));

        // 0x81 is undefined in windows-1252: an error, never U+FFFD.
        writeFile(QStringLiteral("u.tqb"), schema1File(0xFF81));
        const CRun undefinedByte = toJson(QStringLiteral("u.tqb"));
        QCOMPARE(undefinedByte.exitCode, 1);
        QVERIFY(undefinedByte.out.isEmpty());
        QVERIFY2(undefinedByte.err.contains("items[0].title: byte 0x81"), qPrintable(undefinedByte.err));
        QCOMPARE(toJson(QStringLiteral("u.tqb"), {}, QStringLiteral("windows-1251")).exitCode, 0);
    }

    void damagedFile_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("info") << QStringList{"info", "bad.tqb"} << QByteArray();
        QTest::newRow("tree") << QStringList{"tree", "bad.tqb"} << QByteArray();
        QTest::newRow("to-json") << QStringList{"to-json", "bad.tqb"} << QByteArray();
        QTest::newRow("export-text") << QStringList{"export-text", "bad.tqb", "bad.txt"} << QByteArray();
        QTest::newRow("passwd") << QStringList{"passwd", "bad.tqb"} << QByteArray("\nfresh-one\n");
    }

    void damagedFile()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QCOMPARE(fromJson(documentJson(header(ints({0, 1, 2, 3, 4}), 2, 1600000000), {item(1, "t", "x")}),
                          QStringLiteral("good.tqb")),
                 0);
        const QByteArray damaged = readFile(QStringLiteral("good.tqb")).chopped(3);
        writeFile(QStringLiteral("bad.tqb"), damaged);
        const CRun run = tqb(args, input);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QStringLiteral("tqb: Unexpected file format.\n"));
        QCOMPARE(readFile(QStringLiteral("bad.tqb")), damaged);
        QVERIFY(!QFile::exists(path(QStringLiteral("bad.txt"))));

        const CRun missing = tqb({"info", "nowhere.tqb"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("Cannot find this file."));
    }

    void strictJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("complaint");
        const QJsonObject good = item(1, "t", "x");
        const auto withItem = [&](const char *key, const QJsonValue &value) {
            QJsonObject i = good;
            i.insert(QLatin1String(key), value);
            return documentJson(QJsonValue::Null, {i});
        };
        QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "not valid JSON";
        QTest::newRow("array") << QByteArray("[]") << "document: must be an object";
        QTest::newRow("format") << QByteArray(R"({"format": "tqb-json/2", "header": null, "items": []})") << "format";
        QTest::newRow("no items") << QByteArray(R"({"format": "tqb-json/1", "header": null})")
                                  << "missing key \"items\"";
        QTest::newRow("extra key") << QByteArray(R"({"format": "tqb-json/1", "header": null, "items": [], "x": 1})")
                                   << "unknown key \"x\"";
        QTest::newRow("four icons") << documentJson(header(ints({0, 1, 2, 3}), 2, 1), {}) << "header.icons";
        QTest::newRow("password text") << documentJson(QJsonObject{{"icons", ints({0, 1, 2, 3, 4})}, {"sort", 2},
                                                                   {"created", 1}, {"password", "no"}},
                                                       {})
                                       << "header.password";
        QTest::newRow("claims password") << documentJson(QJsonObject{{"icons", ints({0, 1, 2, 3, 4})}, {"sort", 2},
                                                                     {"created", 1}, {"password", true}},
                                                         {})
                                         << "no password was given";
        QJsonArray half = ints({0, 1, 2, 3, 4});
        half[2] = 1.5;
        QTest::newRow("fraction") << withItem("icons", half) << "items[0].icons[2]";
        QTest::newRow("too big") << withItem("sort", 2147483648.0) << "items[0].sort";
        QTest::newRow("title number") << withItem("title", 7) << "items[0].title: must be a string";
        QTest::newRow("parent 0") << withItem("parent", 0) << "items[0].parent";
        QTest::newRow("parent past end") << withItem("parent", 3) << "items[0].parent";
        // Links that would hide items from the tree and drop them at the next save.
        QTest::newRow("parent after child")
            << documentJson(QJsonValue::Null, {item(1, "Top", ""), item(4, "Early", ""), item(2, "Late", "")})
            << "items[1].parent: must be 1 (a root) or 2 to 2";
        QTest::newRow("own parent") << documentJson(QJsonValue::Null, {item(1, "Top", ""), item(3, "Self", "")})
                                    << "items[1].parent";
        QTest::newRow("cycle") << documentJson(QJsonValue::Null,
                                               {item(1, "Top", ""), item(4, "A", ""), item(3, "B", "")})
                               << "items[1].parent";
        QTest::newRow("times without reminder") << withItem("times", ints({5, 0, 0, 0, 0})) << "items[0].times[0]";
        QJsonObject noKind = good;
        noKind.remove("kind");
        QTest::newRow("missing kind") << documentJson(QJsonValue::Null, {noKind}) << "missing key \"kind\"";
    }

    void strictJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, complaint);
        writeFile(QStringLiteral("s.json"), json);
        const CRun run = tqb({"from-json", "s.json", "s.tqb"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(complaint), qPrintable(run.err));
        QVERIFY(!run.err.trimmed().contains(QLatin1Char('\n')));
        QVERIFY(!QFile::exists(path(QStringLiteral("s.tqb"))));
    }

    // A usage error names the problem, then the usage line of the command
    // (the first line of its --help; tqb's without one) and where the rest is.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("command");
        QTest::newRow("nothing") << QStringList{} << QString();
        QTest::newRow("unknown command") << QStringList{"frobnicate", "a.tqb"} << QString();
        QTest::newRow("missing file") << QStringList{"info"} << "info";
        QTest::newRow("extra file") << QStringList{"info", "a.tqb", "b.tqb"} << "info";
        QTest::newRow("second file missing") << QStringList{"from-json", "a.json"} << "from-json";
        QTest::newRow("unknown option") << QStringList{"info", "a.tqb", "--bogus"} << "info";
        QTest::newRow("password for backup") << QStringList{"backup", "a.tqb", "--password-stdin"} << "backup";
        QTest::newRow("password option for passwd") << QStringList{"passwd", "a.tqb", "--password-stdin"} << "passwd";
        QTest::newRow("codepage without name") << QStringList{"info", "a.tqb", "--codepage"} << "info";
        QTest::newRow("unknown codepage") << QStringList{"info", "a.tqb", "--codepage", "klingon"} << "info";
        QTest::newRow("find without text") << QStringList{"find", "a.tqb"} << "find";
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, command);
        const CRun run = tqb(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(lines.size() == 3 && lines[0].startsWith(QLatin1String("tqb: ")), qPrintable(run.err));
        const QString help = command.isEmpty() ? QStringLiteral("tqb --help") : QStringLiteral("tqb %1 --help").arg(command);
        const CRun helped = tqb(help.split(QLatin1Char(' ')).mid(1));
        QCOMPARE(lines[1], QString::fromUtf8(helped.out).section(QLatin1Char('\n'), 0, 0));
        QCOMPARE(lines[2], QStringLiteral("Try '%1'.").arg(help));
    }

    void helpGoesToStandardOutput()
    {
        const CRun run = tqb({"--help"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("usage: tqb COMMAND"));
        QVERIFY(run.err.isEmpty());
        // -v as the program's -v: the version.
        for (const char *option : {"--version", "-v"}) {
            const CRun version = tqb({option});
            QCOMPARE(version.exitCode, 0);
            QCOMPARE(version.out, QByteArray("tqb (Torvi Quillbook) " TQB_VERSION "\n"));
            QVERIFY(version.err.isEmpty());
        }
    }

    // One command's usage: its synopsis and description, the options it
    // takes and none that it refuses.
    void commandHelp_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("synopsis");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QStringList>("notOffered");
        const QString password = QStringLiteral("--password-stdin");
        QTest::newRow("new") << QStringList{"new", "--help"} << "usage: tqb new OUT.tqb [--password-stdin]"
                             << QStringList{password, "--codepage", "never overwritten"}
                             << QStringList{"--under", "--json", "--length"};
        QTest::newRow("add, options first") << QStringList{"-h", "add"}
                                            << "usage: tqb add DOC [--under N] [--title TITLE] [--password-stdin] "
                                               "[--codepage NAME] [--wait SECONDS]\n"
                                            << QStringList{"--under N          (add)", "--title", password}
                                            << QStringList{"(import-*)", "--length", "--header"};
        QTest::newRow("reminders") << QStringList{"reminders", "x.tqb", "--help"}
                                   << "usage: tqb reminders FILE [--at \"YYYY-MM-DD HH:MM\"] [--json]"
                                   << QStringList{"--at MOMENT", "--json", password}
                                   << QStringList{"--under", "--case", "--wait"};
        QTest::newRow("genpass") << QStringList{"genpass", "--help"}
                                 << "usage: tqb genpass [--length N] [--digits] [--letters] [--special] [--count K]\n"
                                 << QStringList{"--length N", "--digits, --letters, --special", "--count K"}
                                 << QStringList{password, "--codepage", "--under"};
        QTest::newRow("import-csv") << QStringList{"import-csv", "--help"}
                                    << "usage: tqb import-csv DOC CSV [--header] [--under N] [--password-stdin]"
                                    << QStringList{"--header", "(import-*)", password}
                                    << QStringList{"(add)", "--title", "--case"};
        QTest::newRow("passwd takes no password option")
            << QStringList{"passwd", "--help"} << "usage: tqb passwd FILE [--encrypt | --compatible] [--codepage NAME]"
            << QStringList{"reads the old one", "Exit status: 0 done"} << QStringList{password, "--under", "grep"};
        QTest::newRow("help COMMAND") << QStringList{"help", "find"} << "usage: tqb find FILE TEXT [--case]"
                                      << QStringList{"--case", "find, as grep: 0 something matched"}
                                      << QStringList{"--under", "--json"};
    }

    void commandHelp()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, synopsis);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, notOffered);
        const CRun run = tqb(args);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        const QString out = QString::fromUtf8(run.out);
        QVERIFY2(out.startsWith(synopsis), qPrintable(out));
        QVERIFY2(!out.contains(QLatin1String("usage: tqb COMMAND")), qPrintable(out));
        for (const QString &option : std::as_const(offered))
            QVERIFY2(out.contains(option), qPrintable(option + QLatin1String(" missing in:\n") + out));
        for (const QString &option : std::as_const(notOffered))
            QVERIFY2(!out.contains(option), qPrintable(option + QLatin1String(" offered in:\n") + out));
    }

    // The manual page offers the commands and options that --help does, each
    // command with the options of its synopsis.
    void manPageFollowsHelp()
    {
        QFile page(testpaths::data(QStringLiteral("../../doc/man/tqb.1.in")));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString man = QString::fromUtf8(page.readAll())
                                .replace(QLatin1String("\\-"), QLatin1String("-"))
                                .remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
        const CRun run = tqb({"--help"});
        QCOMPARE(run.exitCode, 0);
        const QString help = QString::fromUtf8(run.out);

        static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
        const auto options = [](const QString &text) {
            QStringList found;
            for (const QRegularExpressionMatch &m : option.globalMatch(text))
                found << m.captured();
            found.removeDuplicates();
            found.sort();
            return found;
        };
        QCOMPARE(options(man), options(help));

        // "  name ARGS" in the help's command list; ".BI name ARGS" after ".TP"
        // in the page's COMMANDS section.
        QMap<QString, QStringList> helpCommands;
        const QString list = help.section(QStringLiteral("\n\n"), 1, 1);
        static const QRegularExpression helpEntry(QStringLiteral("^  ([a-z][a-z-]*)( [^\n]*)?$"),
                                                  QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch &m : helpEntry.globalMatch(list))
            helpCommands.insert(m.captured(1), options(m.captured(2).split(QStringLiteral("  ")).first()));
        QMap<QString, QStringList> manCommands;
        const QString section = man.section(QStringLiteral(".SH COMMANDS"), 1).section(QStringLiteral(".SH "), 0, 0);
        static const QRegularExpression manEntry(QStringLiteral("^\\.TP\n\\.BI? ([a-z][a-z-]*)([^\n]*)$"),
                                                 QRegularExpression::MultilineOption);
        for (const QRegularExpressionMatch &m : manEntry.globalMatch(section))
            manCommands.insert(m.captured(1), options(m.captured(2)));
        QVERIFY(helpCommands.contains(QStringLiteral("passwd")) && helpCommands.contains(QStringLiteral("find")));
        QCOMPARE(manCommands.keys(), helpCommands.keys());
        for (auto it = helpCommands.cbegin(); it != helpCommands.cend(); ++it)
            QCOMPARE(manCommands.value(it.key()), it.value());

        // The README lists every command too.
        QFile readme(testpaths::data(QStringLiteral("../../README.md")));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        for (const QString &command : helpCommands.keys())
            QVERIFY2(text.contains(QLatin1String("\ntqb ") + command + QLatin1Char(' ')), qPrintable(command));
    }

    void helpForAnUnknownCommandIsAUsageError()
    {
        for (const QStringList &args : {QStringList{"frobnicate", "--help"}, QStringList{"help", "frobnicate"}}) {
            const CRun run = tqb(args);
            QCOMPARE(run.exitCode, 2);
            QVERIFY(run.out.isEmpty());
            QVERIFY(run.err.startsWith(QLatin1String("tqb: unknown command \"frobnicate\"")));
        }
    }

    void backupRotates()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("bk")));
        configureBackup(false);
        QCOMPARE(tqb({"new", "doc.tqb"}).exitCode, 0);
        const CRun off = tqb({"backup", "doc.tqb"});
        QCOMPARE(off.exitCode, 1);
        QVERIFY(off.err.contains("backups are off"));
        QVERIFY(!QFile::exists(path(QStringLiteral("bk/doc.bk0"))));

        configureBackup(true);
        const QByteArray first = readFile(QStringLiteral("doc.tqb"));
        const CRun made = tqb({"backup", "doc.tqb"});
        QCOMPARE(made.exitCode, 0);
        QCOMPARE(readFile(QStringLiteral("bk/doc.bk0")), first);
        QVERIFY(tqb({"backup", "doc.tqb"}).out.startsWith("not due"));

        // Two days later a save through tqb rotates before it writes.
        QFile copy(path(QStringLiteral("bk/doc.bk0")));
        QVERIFY(copy.open(QIODevice::ReadWrite));
        QVERIFY(copy.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        copy.close();
        QCOMPARE(tqb({"passwd", "doc.tqb"}, "\nnew-pass\n").exitCode, 0);
        QCOMPARE(readFile(QStringLiteral("bk/doc.bk1")), first);
        QCOMPARE(readFile(QStringLiteral("bk/doc.bk0")), first);
        QVERIFY(readFile(QStringLiteral("doc.tqb")) != first);

        QCOMPARE(tqb({"backup", "nowhere.tqb"}).exitCode, 1);
    }

    // A backup folder set without a separator at its end is still the folder.
    void backupFolderWithoutSeparator()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("bk")));
        configureBackup(true, QString());
        QCOMPARE(tqb({"new", "doc.tqb"}).exitCode, 0);
        QCOMPARE(tqb({"backup", "doc.tqb"}).exitCode, 0);
        QCOMPARE(readFile(QStringLiteral("bk/doc.bk0")), readFile(QStringLiteral("doc.tqb")));
        QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("*bk0")}, QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TstTqb)
#include "tst_tqb.moc"
