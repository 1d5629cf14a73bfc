#include "app/HelpAndVersion.h"

#include "Version.h"
#include "app/TorviQuillbookApp.h"
#include "app/Translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QCoreApplication::translate(
        "HelpAndVersion",
        "Torvi Quillbook keeps short texts in a tree of folders and notes inside one document file (.tqb).\n"
        "\n"
        "  torvi-quillbook [FILE]            open FILE, or the last file or a new document\n"
        "  torvi-quillbook /p FILE           print the selected note of FILE and end\n"
        "  torvi-quillbook /pt FILE PRINTER  the same on the printer PRINTER\n"
        "\n"
        "A program already running takes FILE over and comes to the front."));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QCoreApplication::translate("HelpAndVersion", "The document to open (.tqb)."),
                                 QStringLiteral("[FILE]"));
}

bool print(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
}

}  // namespace

std::optional<int> HelpAndVersion::answer(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    // Qt's own switches (-platform, -style) and a desktop's are single words,
    // not runs of one-letter options; they are left to the application.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.parse(arguments);  // unknown options are not this parser's to refuse
    const bool helpAll = parser.isSet(QStringLiteral("help-all"));
    if (!parser.isSet(help) && !parser.isSet(version) && !helpAll)
        return std::nullopt;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(CTorviQuillbookApp::kApplication));
    QCoreApplication::setApplicationVersion(QStringLiteral(TQB_VERSION));
    Translations::install();
    if (parser.isSet(version))
        return print(QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion()
                     + QLatin1Char('\n'))
            ? 0 : 1;
    describe(parser);
    if (helpAll)  // Qt's own switches too: only Qt prints those, and then exits
        parser.process(QStringList{arguments.first(), QStringLiteral("--help-all")});
    return print(parser.helpText()) ? 0 : 1;
}
