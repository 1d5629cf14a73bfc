#include "CliArguments.h"

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
