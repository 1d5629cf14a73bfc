#include "text/CodePage.h"

#include <QTest>

#include <algorithm>

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void undefinedBytes_data();
    void undefinedBytes();
    void knownCharacters_data();
    void knownCharacters();
    void roundTripOfEveryMappedByte_data();
    void roundTripOfEveryMappedByte();
    void refusesCharactersOutsideThePage();
    void invalidPageConvertsNothing();
};

void TestCodePage::names_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("canonical");  // empty: invalid

    QTest::newRow("windows-1252") << "windows-1252" << "windows-1252";
    QTest::newRow("cp1252") << "cp1252" << "windows-1252";
    QTest::newRow("CP1251") << "CP1251" << "windows-1251";
    QTest::newRow("Windows-1250 mixed case") << "Windows-1250" << "windows-1250";
    QTest::newRow("number only") << "1253" << "windows-1253";
    QTest::newRow("thai") << "windows-874" << "windows-874";
    QTest::newRow("unknown") << "bogus" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("multi-byte page") << "cp932" << "";
    QTest::newRow("utf-8") << "utf-8" << "";
    QTest::newRow("prefix without number") << "windows-" << "";
}

void TestCodePage::names()
{
    QFETCH(QString, given);
    QFETCH(QString, canonical);
    const CCodePage page(given);
    QCOMPARE(page.isValid(), !canonical.isEmpty());
    QCOMPARE(page.name(), canonical);
    QCOMPARE(CCodePage::supportedNames().contains(page.name()), page.isValid());
}

void TestCodePage::undefinedBytes_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QList<int>>("undefined");

    QTest::newRow("1252") << "windows-1252" << QList<int>{0x81, 0x8D, 0x8F, 0x90, 0x9D};
    QTest::newRow("1251") << "windows-1251" << QList<int>{0x98};
}

void TestCodePage::undefinedBytes()
{
    QFETCH(QString, page);
    QFETCH(QList<int>, undefined);
    const CCodePage cp(page);
    QVERIFY(cp.isValid());

    QList<int> unmapped;
    for (int b = 0; b < 256; ++b) {
        if (!cp.maps(quint8(b)))
            unmapped << b;
    }
    QCOMPARE(unmapped, undefined);

    // An undefined byte reads as U+FFFD, which goes back to no byte at all:
    // neither it nor the C1 control of the same number may stand in for it.
    for (const int b : undefined) {
        const QString read = cp.toUnicode(QByteArray(1, char(b)));
        QCOMPARE(read, QString(QChar(CCodePage::kReplacement)));
        QVERIFY(!cp.fromUnicode(read));
        QVERIFY(!cp.fromUnicode(QString(QChar(char16_t(b)))));
    }
}

void TestCodePage::knownCharacters_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");

    QTest::newRow("1252 euro") << "windows-1252" << 0x80 << 0x20AC;
    QTest::newRow("1252 Y diaeresis") << "windows-1252" << 0x9F << 0x0178;
    QTest::newRow("1252 e acute") << "windows-1252" << 0xE9 << 0x00E9;
    QTest::newRow("1252 nbsp") << "windows-1252" << 0xA0 << 0x00A0;
    QTest::newRow("1251 A") << "windows-1251" << 0xC0 << 0x0410;
    QTest::newRow("1251 ya") << "windows-1251" << 0xFF << 0x044F;
    QTest::newRow("1251 IO") << "windows-1251" << 0xA8 << 0x0401;
    QTest::newRow("1251 numero") << "windows-1251" << 0xB9 << 0x2116;
    QTest::newRow("1251 DJE") << "windows-1251" << 0x80 << 0x0402;
    // Hebrew letters may take combining marks; they must still come out one by one.
    QTest::newRow("1255 alef") << "windows-1255" << 0xE0 << 0x05D0;
    QTest::newRow("1255 tav") << "windows-1255" << 0xFA << 0x05EA;
    QTest::newRow("1258 A breve") << "windows-1258" << 0xC3 << 0x0102;
    QTest::newRow("byte 0") << "windows-1252" << 0x00 << 0x0000;
}

void TestCodePage::knownCharacters()
{
    QFETCH(QString, page);
    QFETCH(int, byte);
    QFETCH(int, unicode);
    const CCodePage cp(page);
    QVERIFY(cp.maps(quint8(byte)));
    const QByteArray bytes(1, char(byte));
    QCOMPARE(cp.toUnicode(bytes), QString(QChar(char16_t(unicode))));
    QCOMPARE(cp.fromUnicode(QString(QChar(char16_t(unicode)))), std::optional<QByteArray>(bytes));
}

void TestCodePage::roundTripOfEveryMappedByte_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("1252") << "windows-1252";
    QTest::newRow("1251") << "windows-1251";
    QTest::newRow("1255") << "windows-1255";
}

void TestCodePage::roundTripOfEveryMappedByte()
{
    QFETCH(QString, page);
    const CCodePage cp(page);
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (cp.maps(quint8(b)))
            all.append(char(b));
    }
    QVERIFY(all.size() > 200);
    QVERIFY(all.contains('\0'));

    const QString text = cp.toUnicode(all);
    QCOMPARE(text.size(), all.size());
    QVERIFY(!text.contains(QChar(CCodePage::kReplacement)));
    QCOMPARE(cp.fromUnicode(text), std::optional<QByteArray>(all));
    QCOMPARE(cp.firstUnmappable(text), qsizetype(-1));

    // No two bytes read as the same character.
    QList<QChar> chars(text.begin(), text.end());
    std::sort(chars.begin(), chars.end());
    QVERIFY(std::adjacent_find(chars.begin(), chars.end()) == chars.end());
}

void TestCodePage::refusesCharactersOutsideThePage()
{
    const CCodePage western(QStringLiteral("cp1252"));
    const CCodePage cyrillic(QStringLiteral("cp1251"));
    const QString mixed = QStringLiteral("Caf\u00e9 \u0416uk");

    QVERIFY(!western.fromUnicode(mixed));
    QCOMPARE(western.firstUnmappable(mixed), qsizetype(5));
    QVERIFY(!cyrillic.fromUnicode(mixed));  // the e acute is not Cyrillic
    QCOMPARE(cyrillic.firstUnmappable(mixed), qsizetype(3));

    QCOMPARE(cyrillic.fromUnicode(QStringLiteral("\u0416uk\r\n")), std::optional<QByteArray>("\xC6uk\r\n"));

    const QString emoji = QStringLiteral("ok \U0001F600");
    QVERIFY(!western.fromUnicode(emoji));
    QCOMPARE(western.firstUnmappable(emoji), qsizetype(3));
    QCOMPARE(western.fromUnicode(QString()), std::optional<QByteArray>(QByteArray()));
}

void TestCodePage::invalidPageConvertsNothing()
{
    const CCodePage none(QStringLiteral("bogus"));
    QVERIFY(!none.maps('a'));
    QVERIFY(none.toUnicode("abc").isEmpty());
    QVERIFY(!none.fromUnicode(QStringLiteral("abc")));
    QCOMPARE(none.firstUnmappable(QStringLiteral("abc")), qsizetype(0));
    QCOMPARE(none.number(), 0);
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
