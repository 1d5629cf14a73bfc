#include "CliArguments.h"

#include <QDate>
#include <QTime>

CCliArguments CCliArguments::parse(const QStringList &given)
{
    // "--under=3" is taken as "--under 3", for every option with a value.
    QStringList arguments;
    for (const QString &arg : given) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = arg.left(eq);
        if (eq > 2 && arg.startsWith(QLatin1String("--"))
            && QStringList{QStringLiteral("--under"), QStringLiteral("--title"), QStringLiteral("--length"),
                           QStringLiteral("--count"), QStringLiteral("--wait")}
                   .contains(name))
            arguments << name << arg.mid(eq + 1);
        else
            arguments << arg;
    }
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
        } else if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {  // as torvi-quillbook -v
            result.version = true;
        } else if (arg == QLatin1String("--password-stdin")) {
            result.passwordStdin = true;
        } else if (arg == QLatin1String("--codepage")) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--codepage needs a code page name");
                break;
            }
            result.codePage = arguments[++i];
        } else if (arg == QLatin1String("--json")) {
            result.json = true;
        } else if (arg == QLatin1String("--at") || arg.startsWith(QLatin1String("--at="))) {
            if (arg == QLatin1String("--at") && i + 1 >= arguments.size()) {
                result.error = QStringLiteral("--at needs a moment \"YYYY-MM-DD HH:MM\"");
                break;
            }
            result.at = arg == QLatin1String("--at") ? arguments[++i] : arg.mid(5);
            // Date and time apart: a local time inside a daylight-saving gap is
            // still a moment the rules can build.
            const bool valid = result.at.size() == 16 && result.at[10] == QLatin1Char(' ')
                && QDate::fromString(result.at.left(10), QStringLiteral("yyyy-MM-dd")).isValid()
                && QTime::fromString(result.at.mid(11), QStringLiteral("HH:mm")).isValid();
            if (!valid) {
                result.error = QStringLiteral("--at takes a moment \"YYYY-MM-DD HH:MM\", not \"%1\"").arg(result.at);
                break;
            }
        } else if (arg == QLatin1String("--header")) {
            result.given.append(arg);
            result.header = true;
        } else if (arg == QLatin1String("--under") || arg == QLatin1String("--title")
                   || arg == QLatin1String("--length") || arg == QLatin1String("--count")
                   || arg == QLatin1String("--wait")) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("%1 needs a value").arg(arg);
                break;
            }
            const QString value = arguments[++i];
            result.given.append(arg);
            if (arg == QLatin1String("--title")) {
                if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))) {
                    result.error = QStringLiteral("--title cannot hold a line break");
                    break;
                }
                result.hasTitle = true;
                result.title = value;
                continue;
            }
            bool ok = false;
            const int n = value.toInt(&ok);
            if (arg == QLatin1String("--under")) {
                if (!ok || n < 0) {
                    result.error = QStringLiteral("--under takes an item index (0 or more), not \"%1\"").arg(value);
                    break;
                }
                result.under = n;
            } else if (arg == QLatin1String("--wait")) {
                if (!ok || n < 0 || n > 86400) {
                    result.error = QStringLiteral("--wait takes a number of seconds from 0 to 86400, not \"%1\"").arg(value);
                    break;
                }
                result.waitSeconds = n;
            } else if (arg == QLatin1String("--length")) {
                if (!ok || n < 6 || n > 127) {
                    result.error = QStringLiteral("--length takes a length from 6 to 127, not \"%1\"").arg(value);
                    break;
                }
                result.length = n;
            } else {
                if (!ok || n < 1 || n > 100000) {
                    result.error = QStringLiteral("--count takes a number from 1 to 100000, not \"%1\"").arg(value);
                    break;
                }
                result.count = n;
            }
        } else if (arg == QLatin1String("--digits") || arg == QLatin1String("--letters")
                   || arg == QLatin1String("--special")) {
            result.given.append(arg);
            (arg == QLatin1String("--digits") ? result.digits
                                              : arg == QLatin1String("--letters") ? result.letters : result.special) = true;
        } else if (arg == QLatin1String("--encrypt") || arg == QLatin1String("--compatible")) {
            result.given.append(arg);
            (arg == QLatin1String("--encrypt") ? result.encrypt : result.compatible) = true;
        } else if (arg == QLatin1String("--case")) {
            result.given.append(arg);
            result.caseSensitive = true;
        } else if (arg == QLatin1String("--titles")) {
            result.given.append(arg);
            result.titlesOnly = true;
        } else if (arg == QLatin1String("--context")) {
            result.given.append(arg);
            result.context = true;
        } else if (arg.startsWith(QLatin1String("--codepage="))) {
            result.codePage = arg.mid(11);
        } else {
            result.error = QStringLiteral("unknown option %1").arg(arg);
            break;
        }
    }
    // A usage error still names the command, for its usage line.
    if (!words.isEmpty())
        result.command = words.takeFirst();
    if (!result.error.isEmpty())
        return result;
    result.files = words;
    for (qsizetype i = 0; i < result.files.size(); ++i) {
        // find's second word is the text to find, not a file.
        if (result.command == QLatin1String("find") && i == 1)
            continue;
        if (result.files[i].isEmpty())
            result.error = QStringLiteral("an empty file name");
    }
    return result;
}
