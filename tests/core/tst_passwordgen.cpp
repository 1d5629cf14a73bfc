// The password generator: the character set and its order, lengths, classes,
// and that every character of the set is equally likely.

#include "settings/Settings.h"
#include "generator/PasswordGenerator.h"

#include <QList>
#include <QRandomGenerator>
#include <QTest>

#include <array>

namespace {

using Classes = CPasswordGenerator::Classes;

// Pearson's statistic of the character counts of `text` over `set`.
double chiSquare(const QByteArray &text, const QByteArray &set)
{
    std::array<qint64, 128> counts{};
    for (char c : text)
        ++counts[size_t(quint8(c) & 0x7F)];
    const double expected = double(text.size()) / double(set.size());
    double sum = 0;
    for (char c : set) {
        const double d = double(counts[size_t(c)]) - expected;
        sum += d * d / expected;
    }
    return sum;
}

// With 94 degrees of freedom a uniform choice exceeds this about once in
// ten million runs; a favoured third of the set exceeds it by far.
constexpr double kChiSquareLimit = 190.0;

}  // namespace

class TstPasswordGen : public QObject
{
    Q_OBJECT

private slots:
    void setHoldsTheClassesInTheirOrder()
    {
        QCOMPARE(CPasswordGenerator::allowedSet({true, false, false}), QByteArray("0123456789"));
        QCOMPARE(CPasswordGenerator::allowedSet({false, true, false}),
                 QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(CPasswordGenerator::allowedSet({false, false, true}),
                 QByteArray(" !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"));
        const QByteArray all = CPasswordGenerator::allowedSet({true, true, true});
        QCOMPARE(all.size(), 95);
        QVERIFY(all.startsWith("0123456789ABC"));
        QVERIFY(all.endsWith("xyz !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"));
        QVERIFY(CPasswordGenerator::allowedSet({false, false, false}).isEmpty());
    }

    // A scripted source shows the order of the set and that draws beyond it
    // are thrown away, not folded back onto its first characters.
    void drawsIndexTheSetAndOutOfRangeDrawsAreRejected()
    {
        QList<quint32> draws{0, 9, 10, 15, 0xFFFFFFF3, 5, 0x12345601};
        CPasswordGenerator digits([&draws] { return draws.takeFirst(); });
        // 10 and 15 are beyond ten digits under the mask of four bits;
        // 0xFFFFFFF3 masks to 3.
        QCOMPARE(digits.generate(5, Classes{true, false, false}), QByteArray("09351"));
        QVERIFY(draws.isEmpty());
    }

    void lengthsAndClasses()
    {
        CPasswordGenerator gen;
        const QByteArray six = gen.generate(6, Classes{true, false, false});
        QCOMPARE(six.size(), 6);
        for (char c : six)
            QVERIFY(c >= '0' && c <= '9');
        const QByteArray longest = gen.generate(CPasswordGenerator::kMaxLength, Classes{false, true, false});
        QCOMPARE(longest.size(), 127);
        for (char c : longest)
            QVERIFY((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
        QVERIFY(gen.generate(10, Classes{false, false, false}).isEmpty());

        QCOMPARE(CPasswordGenerator::lengthForIndex(0), 6);
        QCOMPARE(CPasswordGenerator::lengthForIndex(121), 127);
        // A damaged stored index gives the default length, never fewer than six.
        QCOMPARE(CPasswordGenerator::lengthForIndex(122), 10);
        QCOMPARE(CPasswordGenerator::lengthForIndex(-1), 10);
        CPasswordGenSettings stored;
        stored.numbers = 0;
        stored.letters = 7;
        stored.special = -1;
        const Classes c = CPasswordGenerator::classesOf(stored);
        QVERIFY(!c.digits && c.letters && c.special);
    }

    // The system source: two runs do not repeat each other (the fixed-seed
    // generator of old gave the same first password in every run), and every
    // character of the set, the blank included, turns up.
    void systemSourceReachesEveryCharacterAndDoesNotRepeat()
    {
        const QByteArray set = CPasswordGenerator::allowedSet({true, true, true});
        QVERIFY(CPasswordGenerator().generate(32, set) != CPasswordGenerator().generate(32, set));
        CPasswordGenerator gen;
        QByteArray seen;
        for (int round = 0; round < 200 && seen.size() < set.size(); ++round) {
            for (char c : gen.generate(127, set)) {
                if (!seen.contains(c))
                    seen.append(c);
            }
        }
        QCOMPARE(seen.size(), set.size());
    }

    void choiceIsUniform()
    {
        const QByteArray set = CPasswordGenerator::allowedSet({true, true, true});
        CPasswordGenerator gen;
        QByteArray drawn;
        for (int i = 0; i < 800; ++i)
            drawn += gen.generate(127, set);  // about 1,070 draws per character
        const double statistic = chiSquare(drawn, set);
        QVERIFY2(statistic < kChiSquareLimit, qPrintable(QString::number(statistic)));

        // The same check on a remainder choice over seven-bit draws, which
        // favours the first 33 characters twice over, must fail: otherwise it
        // would prove nothing about the generator.
        QByteArray biased;
        QRandomGenerator *system = QRandomGenerator::system();
        while (biased.size() < drawn.size())
            biased.append(set[qsizetype((system->generate() & 0x7F) % quint32(set.size()))]);
        QVERIFY(chiSquare(biased, set) > 10 * kChiSquareLimit);
    }
};

QTEST_APPLESS_MAIN(TstPasswordGen)
#include "tst_passwordgen.moc"
