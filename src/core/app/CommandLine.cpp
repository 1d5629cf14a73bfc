#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace {

bool isSwitch(const QString &argument, const char *name)
{
    const QString lower = argument.toLower();
    return lower == QLatin1Char('/') + QLatin1String(name) || lower == QLatin1Char('-') + QLatin1String(name);
}

}  // namespace

CCommandLine CCommandLine::parse(const QStringList &arguments)
{
    CCommandLine line;
    const QStringList args = arguments.mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &argument = args[i];
        if (isSwitch(argument, "p") || isSwitch(argument, "pt")) {
            const bool to = isSwitch(argument, "pt");
            line.action = to ? Action::PrintTo : Action::Print;
            if (i + 1 >= args.size()) {
                line.error = QCoreApplication::translate("CCommandLine", "The switch %1 needs the name of the file to print.").arg(argument);
                return line;
            }
            line.file = args[++i];
            if (to) {
                if (i + 1 >= args.size()) {
                    line.error = QCoreApplication::translate("CCommandLine", "The switch %1 needs a file name and a printer name.").arg(argument);
                    return line;
                }
                line.printer = args[++i];
                // The shell's print-to verb may add driver and port: not used here.
                while (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1Char('-'))
                       && !isSwitch(args[i + 1], "p") && !isSwitch(args[i + 1], "pt"))
                    ++i;
            }
            continue;
        }
        // Other switches (a desktop's own, or an old one) are ignored.
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        if (line.file.isEmpty())
            line.file = argument;
    }
    return line;
}

QString CCommandLine::unknownOptions(const QStringList &arguments)
{
    QStringList rest;
    for (const QString &argument : arguments) {
        if (!isSwitch(argument, "p") && !isSwitch(argument, "pt"))
            rest << argument;
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
                       QCommandLineOption(QStringLiteral("help-all")),
                       QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version")})});
    return parser.parse(rest) ? QString() : parser.errorText();
}

void CCommandLine::resolveAgainst(const QString &folder)
{
    if (!file.isEmpty())
        file = QDir::cleanPath(QDir(folder).absoluteFilePath(file));
}
