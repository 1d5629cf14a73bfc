#include "app/HelpAndVersion.h"

#include "Version.h"
#include "app/CommandLine.h"
#include "app/TorviQuillbookApp.h"
#include "app/Translations.h"

#include <QApplication>
#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

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

// The arguments without the switches the window system and Qt take out when
// the application is made (their values too), so that what is left can be
// checked before that: with no display, making it ends the program.
QStringList withoutQtSwitches(const QStringList &arguments)
{
    static const QStringList withValue{"platform", "platformpluginpath", "platformtheme", "plugin",
                                       "qwindowgeometry", "geometry", "qwindowtitle", "title", "qwindowicon",
                                       "icon", "session", "display", "name", "visual", "style", "stylesheet"};
    static const QStringList alone{"reverse", "testability", "widgetcount", "nograb", "dograb", "sync"};
    static const QStringList withEquals{"style=", "stylesheet=", "qmljsdebugger="};
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        if (i == 0 || !name.startsWith(QLatin1Char('-'))) {
            rest << name;
            continue;
        }
        name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
        const auto startsName = [&name](const QString &prefix) { return name.startsWith(prefix); };
        if (withValue.contains(name) && i + 1 < arguments.size())
            ++i;
        else if (!alone.contains(name) && std::none_of(withEquals.begin(), withEquals.end(), startsName))
            rest << arguments[i];
    }
    return rest;
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

    // Qt's own switches (-platform, -style) and a desktop's are single words,
    // not runs of one-letter options; they are left to the application.
    const auto parseLine = [&arguments](QCommandLineParser &parser) {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addHelpOption();
        parser.addVersionOption();
        parser.parse(arguments);  // unknown options are refused once Qt took its own
    };
    bool helpAll = false;
    bool refuse = false;  // an option that is neither the program's nor Qt's
    {
        QCommandLineParser asks;
        parseLine(asks);
        helpAll = asks.isSet(QStringLiteral("help-all"));
        if (!asks.isSet(QStringLiteral("help")) && !asks.isSet(QStringLiteral("version")) && !helpAll) {
            if (CCommandLine::unknownOptions(withoutQtSwitches(arguments)).isEmpty())
                return std::nullopt;
            refuse = true;  // said below, in the user's language
        }
    }

    // Only an application of the widget kind knows Qt's switches (-platform,
    // -style, ...) that --help-all lists; on the platform that draws nothing
    // it needs no display.
    std::unique_ptr<QCoreApplication> app;
    static std::vector<char *> widgetArgs;
    static int widgetArgc = 0;
    if (helpAll) {
        static char platform[] = "-platform";
        static char minimal[] = "minimal";
        widgetArgs.assign(argv, argv + argc);
        widgetArgs.insert(widgetArgs.end(), {platform, minimal});  // the last -platform counts
        widgetArgc = int(widgetArgs.size());
        widgetArgs.push_back(nullptr);
        app = std::make_unique<QApplication>(widgetArgc, widgetArgs.data());
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QString::fromLatin1(CTorviQuillbookApp::kApplication));
    QCoreApplication::setApplicationVersion(QStringLiteral(TQB_VERSION));
    // The parser's own texts (the help and version options) are made when the
    // options are added: the translators come first.
    Translations::install();
    if (refuse) {
        std::fprintf(stderr, "%s\n", qPrintable(CCommandLine::unknownOptions(withoutQtSwitches(arguments))));
        return 2;
    }
    QCommandLineParser parser;
    parseLine(parser);
    if (parser.isSet(QStringLiteral("version")))
        return print(QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion()
                     + QLatin1Char('\n'))
            ? 0 : 1;
    describe(parser);
    if (helpAll)  // Qt's own switches too: only Qt prints those, and then exits
        parser.process(QStringList{arguments.first(), QStringLiteral("--help-all")});
    return print(parser.helpText()) ? 0 : 1;
}
