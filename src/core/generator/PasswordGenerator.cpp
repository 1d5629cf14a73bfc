#include "generator/PasswordGenerator.h"

#include "settings/Settings.h"

#include <QRandomGenerator>

#include <bit>

CPasswordGenerator::CPasswordGenerator(Source source) : m_source(std::move(source))
{
    if (!m_source)
        m_source = [] { return QRandomGenerator::system()->generate(); };
}

QByteArray CPasswordGenerator::allowedSet(const Classes &classes)
{
    QByteArray set;
    const auto range = [&set](char first, char last) {
        for (char c = first; c <= last; ++c)
            set.append(c);
    };
    if (classes.digits)
        range('0', '9');
    if (classes.letters) {
        range('A', 'Z');
        range('a', 'z');
    }
    if (classes.special) {
        range(' ', '/');
        range(':', '@');
        range('[', '`');
        range('{', '~');
    }
    return set;
}

QByteArray CPasswordGenerator::generate(int length, const QByteArray &set)
{
    QByteArray password;
    if (set.isEmpty() || length <= 0)
        return password;
    const auto count = quint32(set.size());
    // The smallest all-ones mask that covers every index of the set.
    const quint32 mask = std::bit_ceil(count) - 1;
    password.reserve(length);
    while (password.size() < length) {
        const quint32 index = m_source() & mask;
        if (index < count)
            password.append(set[qsizetype(index)]);
    }
    return password;
}

int CPasswordGenerator::lengthForIndex(int index)
{
    return (validIndex(index) ? index : kDefaultLengthIndex) + kMinLength;
}

CPasswordGenerator::Classes CPasswordGenerator::classesOf(const CPasswordGenSettings &settings)
{
    return {settings.numbers != 0, settings.letters != 0, settings.special != 0};
}
