#include "Console.h"

#include <QStringList>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

void CConsole::error(const QString &text)
{
    errorRaw(QStringLiteral("tqb: ") + oneLine(text) + QLatin1Char('\n'));
}

namespace {
int errorsWritten = 0;
}  // namespace

int CConsole::errorCount()
{
    return errorsWritten;
}

void CConsole::errorRaw(const QString &text)
{
    ++errorsWritten;
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

bool CConsole::write(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()))
        return false;
    return std::fflush(stdout) == 0;
}

std::optional<QByteArray> CConsole::readLine(bool *tooLong)
{
    if (tooLong)
        *tooLong = false;
    QByteArray line;
    std::streambuf *in = std::cin.rdbuf();
    for (;;) {
        const int c = in->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            if (line.isEmpty())
                return std::nullopt;
            break;
        }
        if (c == '\n')
            break;
        if (line.size() >= kMaxLine) {
            // Endless input without a line break (/dev/zero) must not fill memory.
            if (tooLong)
                *tooLong = true;
            return std::nullopt;
        }
        line += char(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

std::optional<QByteArray> CConsole::readAll(qint64 maxBytes)
{
    QByteArray rest;
    std::streambuf *in = std::cin.rdbuf();
    char block[1 << 16];
    for (;;) {
        const std::streamsize got = in->sgetn(block, sizeof block);
        if (got <= 0)
            return rest;
        if (rest.size() + got > maxBytes)
            return std::nullopt;
        rest.append(block, qsizetype(got));
    }
}

QString CConsole::oneLine(const QString &text)
{
    QStringList parts;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            parts.append(trimmed);
    }
    return parts.join(QLatin1Char(' '));
}
