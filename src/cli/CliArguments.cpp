#include "CliArguments.h"

#include <QDate>
#include <QTime>

CCliArguments CCliArguments::parse(const QStringList &arguments)
{
    CCliArguments result;
    QStringList words;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words.append(arg);
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            result.help = true;
        } else if (arg == QLatin1String("--password-stdin")) {
            result.passwordStdin = true;
        } else if (arg == QLatin1String("--codepage")) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--codepage needs a code page name");
                return result;
            }
            result.codePage = arguments[++i];
        } else if (arg == QLatin1String("--json")) {
            result.json = true;
        } else if (arg == QLatin1String("--at") || arg.startsWith(QLatin1String("--at="))) {
            if (arg == QLatin1String("--at") && i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--at needs a moment \"YYYY-MM-DD HH:MM\"");
                return result;
            }
            result.at = arg == QLatin1String("--at") ? arguments[++i] : arg.mid(5);
            // Date and time apart: a local time inside a daylight-saving gap is
            // still a moment the rules can build.
            const bool valid = result.at.size() == 16 && result.at[10] == QLatin1Char(' ')
                && QDate::fromString(result.at.left(10), QStringLiteral("yyyy-MM-dd")).isValid()
                && QTime::fromString(result.at.mid(11), QStringLiteral("HH:mm")).isValid();
            if (!valid) {
                result.error = QStringLiteral("--at takes a moment \"YYYY-MM-DD HH:MM\", not \"%1\"").arg(result.at);
                return result;
            }
        } else if (arg == QLatin1String("--header")) {
            result.header = true;
        } else if (arg == QLatin1String("--under") || arg.startsWith(QLatin1String("--under="))) {
            if (arg == QLatin1String("--under") && i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--under needs an item index");
                return result;
            }
            const QString value = arg == QLatin1String("--under") ? arguments[++i] : arg.mid(8);
            bool ok = false;
            result.under = value.toInt(&ok);
            if (!ok || result.under < 0) {
                result.error = QStringLiteral("--under takes an item index (0 or more), not \"%1\"").arg(value);
                return result;
            }
        } else if (arg.startsWith(QLatin1String("--codepage="))) {
            result.codePage = arg.mid(11);
        } else {
            result.error = QStringLiteral("unknown option %1").arg(arg);
            return result;
        }
    }
    if (!words.isEmpty())
        result.command = words.takeFirst();
    result.files = words;
    for (const QString &file : std::as_const(result.files)) {
        if (file.isEmpty())
            result.error = QStringLiteral("an empty file name");
    }
    return result;
}
