#pragma once

#include <QByteArray>

#include <functional>

struct CPasswordGenSettings;

// Random passwords over chosen character classes. Each character is drawn
// uniformly from the allowed set: a draw is cut to the fewest bits that can
// number the set and drawn again when it numbers no character, so no
// character is favoured the way a remainder of a wider draw would favour the
// first ones. The draws come from the operating system's cryptographic source.
class CPasswordGenerator
{
public:
    // A source of uniformly random 32-bit values.
    using Source = std::function<quint32()>;

    static constexpr int kMinLength = 6;
    static constexpr int kMaxLength = 127;
    static constexpr int kLengthEntries = kMaxLength - kMinLength + 1;  // 122 list entries
    static constexpr int kDefaultLengthIndex = 4;                       // length 10

    struct Classes
    {
        bool digits = true;
        bool letters = true;
        bool special = false;
    };

    // QRandomGenerator::system() unless a test gives its own source.
    explicit CPasswordGenerator(Source source = {});

    // The allowed characters in their fixed order: "0".."9", then "A".."Z" and
    // "a".."z", then the 33 printable others (the blank included) by code.
    static QByteArray allowedSet(const Classes &classes);

    // A password of `length` characters of the set; empty when the set is.
    QByteArray generate(int length, const QByteArray &set);
    QByteArray generate(int length, const Classes &classes) { return generate(length, allowedSet(classes)); }

    // The length a stored list index stands for. An index outside the list
    // counts as the default entry: a damaged setting must not shorten the
    // password below the list's minimum.
    static int lengthForIndex(int index);
    static bool validIndex(int index) { return index >= 0 && index < kLengthEntries; }
    // The classes the stored settings tick (any value but 0 ticks).
    static Classes classesOf(const CPasswordGenSettings &settings);

private:
    Source m_source;
};
