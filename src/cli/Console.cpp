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

void CConsole::errorRaw(const QString &text)
{
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

std::optional<QByteArray> CConsole::readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QByteArray(line.data(), qsizetype(line.size()));
}

QByteArray CConsole::readAll()
{
    std::string rest((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    return QByteArray(rest.data(), qsizetype(rest.size()));
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
