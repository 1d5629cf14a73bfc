// tqb: the document core of Torvi Quillbook for scripts.

#include "CliArguments.h"
#include "CliSession.h"
#include "CommandHelp.h"
#include "Commands.h"
#include "Console.h"
#include "Version.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <array>

namespace {

struct CCommand
{
    const char *name;
    int files;
    bool passwordOption;  // takes --password-stdin
    int (*run)(CCliSession &);
};

constexpr std::array<CCommand, 19> kCommands{{
    {"new", 1, true, runNew},
    {"info", 1, true, runInfo},
    {"tree", 1, true, runTree},
    {"to-json", 1, true, runToJson},
    {"from-json", 2, true, runFromJson},
    {"passwd", 1, false, runPasswd},
    {"export-text", 2, true, runExportText},
    {"backup", 1, false, runBackup},
    {"reminders", 1, true, runReminders},
    {"add", 1, true, runAdd},
    {"genpass", 0, false, runGenpass},
    {"import-text", 2, true, runImportText},
    {"import-csv", 2, true, runImportCsv},
    {"import-favorites", 2, true, runImportFavorites},
    {"import-md", 2, true, runImportMd},
    {"export-md", 2, true, runExportMd},
    {"export-html", 2, true, runExportHtml},
    {"export-opml", 2, true, runExportOpml},
    {"find", 1, true, runFind},
}};

// The options that only some commands take; any other command refuses them.
struct COwnOptions
{
    const char *command;
    std::array<const char *, 5> options;
};
constexpr std::array<COwnOptions, 10> kOwnOptions{{
    {"add", {"--under", "--title", "--wait"}},
    {"find", {"--case", "--titles", "--context"}},
    {"genpass", {"--length", "--digits", "--letters", "--special", "--count"}},
    {"import-text", {"--under", "--wait"}},
    {"import-csv", {"--under", "--header", "--wait"}},
    {"import-favorites", {"--under", "--wait"}},
    {"import-md", {"--under", "--wait"}},
    {"from-json", {"--encrypt", "--wait"}},
    {"passwd", {"--encrypt", "--compatible", "--wait"}},
    {"backup", {"--wait"}},
}};

const char kUsage[] =
    "usage: tqb COMMAND [--password-stdin] [--codepage NAME] FILE...\n"
    "\n"
    "  new OUT.tqb                 write an empty document (header only, stamped now);\n"
    "                              an existing OUT is never overwritten\n"
    "  info FILE                   items, header, schema, password, protection, root\n"
    "                              sort, default icons and creation time, one per line\n"
    "  tree FILE                   the titles as an outline, four blanks per level\n"
    "  to-json FILE                the document as JSON (format tqb-json/1)\n"
    "  from-json IN.json OUT.tqb [--encrypt]\n"
    "                              write a document from that JSON (replacing OUT);\n"
    "                              with --encrypt and a password, encrypted\n"
    "  passwd FILE [--encrypt | --compatible]\n"
    "                              change the password: reads the old one (an empty\n"
    "                              line for none), then the new one (empty: none);\n"
    "                              no old one for a file with a password is refused.\n"
    "                              --encrypt: strong encryption; --compatible: the\n"
    "                              light protection older versions read; neither:\n"
    "                              the form it has (none: the compatible one)\n"
    "  export-text FILE OUT.txt    the plain-text export, as Save As to .txt writes it\n"
    "  backup FILE                 the backup step of a save, with the backup settings\n"
    "  reminders FILE [--at \"YYYY-MM-DD HH:MM\"] [--json]\n"
    "                              every reminder as the program's check would see it\n"
    "                              at that moment (default: now, local time), by\n"
    "                              moment, then item index; nothing is saved\n"
    "  add DOC [--under N] [--title TITLE]\n"
    "                              adds the text of standard input (UTF-8) as a note,\n"
    "                              at the root level or below item N, and prints its\n"
    "                              item index; without --title the title is split off\n"
    "                              the text as quick capture does with \"Auto title\";\n"
    "                              creates DOC when it does not exist\n"
    "  genpass [--length N] [--digits] [--letters] [--special] [--count K]\n"
    "                              prints K passwords (default 1), one a line; the\n"
    "                              length (6 to 127) and, when no class is given, the\n"
    "                              classes come from the generator's settings\n"
    "                              (default: 10, digits and letters)\n"
    "  import-text DOC TXT [--under N]\n"
    "                              notes from a text file (sections, titles, indents\n"
    "                              as the text export writes them)\n"
    "  import-csv DOC CSV [--header] [--under N]\n"
    "                              one note per line of a comma, semicolon or tab\n"
    "                              separated list\n"
    "  import-favorites DOC PATH [--under N]\n"
    "                              a folder of .url shortcuts, one .url file or a\n"
    "                              browser bookmark file (.html)\n"
    "  import-md DOC DIR [--under N]\n"
    "                              a Markdown folder: folders become folder items,\n"
    "                              .md files notes (NAME.md beside the folder NAME is\n"
    "                              its text); front matter title, order, icons and\n"
    "                              reminder are read; hidden entries, other files\n"
    "                              and links leading outside DIR are skipped and\n"
    "                              counted on standard error\n"
    "  export-md DOC DIR           the tree as a Markdown folder: NAME.md per item,\n"
    "                              a folder NAME for its children; DIR must be empty\n"
    "                              or not exist; a new DIR appears only when complete\n"
    "  export-html DOC OUT.html    the tree as one self-contained web page\n"
    "  export-opml DOC OUT.opml    the tree as an OPML 2.0 outline\n"
    "  find FILE TEXT [--case] [--titles] [--context]\n"
    "                              prints INDEX<TAB>TITLE for every item whose title\n"
    "                              or text holds TEXT, in item-index order; without\n"
    "                              --case upper and lower case are the same, as in\n"
    "                              the program's Find / Replace\n"
    "\n"
    "Options:\n"
    "  --password-stdin   read the password from the first line of standard input\n"
    "                     (an empty line: none). A password is never taken from the\n"
    "                     command line. A document that asks for one is refused\n"
    "                     when none was given or the one given does not read it.\n"
    "  --codepage NAME    code page of titles, texts and light-protection passwords\n"
    "                     (windows-1252, windows-1251, ...; strong encryption takes\n"
    "                     passwords as UTF-8); default: the \"CodePage\" setting,\n"
    "                     windows-1252 unless set\n"
    "  --at MOMENT        (reminders) the moment to check at, local time\n"
    "  --json             (reminders) a JSON array instead of lines\n"
    "  --under N          (add) add below the item with index N\n"
    "  --title TITLE      (add) the note's title; the whole input is its text\n"
    "  --length N         (genpass) password length, 6 to 127\n"
    "  --digits, --letters, --special\n"
    "                     (genpass) the character classes: 0-9, A-Z and a-z, the\n"
    "                     33 printable others (the blank included)\n"
    "  --count K          (genpass) how many passwords\n"
    "  --under N          (import-*) put the import below the item with item index N\n"
    "                     instead of at the root level\n"
    "  --header           (import-csv) the first line holds the column names\n"
    "  --case             (find) upper and lower case differ\n"
    "  --titles           (find) look in the titles only\n"
    "  --context          (find) a third column: the text around the first hit in\n"
    "                     the text (its start when only the title holds TEXT),\n"
    "                     tabs and line breaks shown as blanks\n"
    "  --wait SECONDS     (add, import-*, from-json, passwd, backup) how long to wait\n"
    "                     for another writer of the same document (default 10)\n"
    "  --encrypt          (passwd, from-json) strong encryption: Argon2id and\n"
    "                     XChaCha20-Poly1305, doc/encrypted-format.md\n"
    "  --compatible       (passwd) the light protection older versions read\n"
    "  -h, --help         this text; after a command, that command's usage\n"
    "  -v, --version      the version of tqb\n"
    "\n"
    "Notes:\n"
    "  info needs no password; its protection line is none, compatible or\n"
    "  \"encrypted (argon2id, M KiB, P passes)\". An encrypted file shows nothing\n"
    "  else (\"-\") without its password. A wrong password for an encrypted file:\n"
    "  exit 1 and one line on standard error.\n"
    "  The header's icons and creation time are enciphered\n"
    "  in a file with a password: info prints them deciphered when --password-stdin\n"
    "  gives the password, and as stored otherwise. For a file without header\n"
    "  (older versions) password, root sort, default icons and creation time are \"-\".\n"
    "  JSON: {\"format\": \"tqb-json/1\", \"header\": H, \"items\": [I, ...]} with H null\n"
    "  (no header) or {\"icons\": [5 ints], \"sort\": int, \"password\": bool,\n"
    "  \"created\": int} and I {\"parent\": int, \"title\": str, \"text\": str,\n"
    "  \"icons\": [5 ints], \"sort\": int, \"remind\": int, \"times\": [5 ints],\n"
    "  \"kind\": int}; values as written in the file, deciphered; parent 1 is a root,\n"
    "  k + 2 a child of item k. Text is UTF-8 in JSON and converted with the code\n"
    "  page; a byte the page leaves undefined (to-json) or a character it cannot\n"
    "  hold (from-json) is an error, never replaced. from-json always writes a\n"
    "  header: with H null the default icons and root sort come from the settings\n"
    "  and the creation time is now (as for \"created\": 0). Its \"password\" may be\n"
    "  left out; a password from --password-stdin enciphers the file, and \"password\":\n"
    "  true without one is an error. The tree shows undefined bytes as U+FFFD.\n"
    "  Writing commands save as the program does: through a temporary file, after the\n"
    "  backup step when backups are on. TQB_SETTINGS_FILE names an INI file to use\n"
    "  instead of the user's settings.\n"
    "  One writer at a time: a writing command holds the document's lock (the hidden\n"
    "  file .NAME.lock beside it) from its read to its save, as the program does while\n"
    "  it saves; another writer waits for it (--wait), then says who holds it.\n"
    "\n"
    "  reminders: reminders whose series has ended by that moment are left out.\n"
    "  A line is INDEX<TAB>YYYY-MM-DD HH:MM<TAB>till|from<TAB>TITLE, with \"*\" before\n"
    "  the index when the current window has begun. JSON: [{\"index\", \"title\",\n"
    "  \"mode\": \"till\"|\"from\", \"moment\", \"lead\", \"period\", \"start\", \"end\",\n"
    "  \"next\", \"begun\"}, ...]; times and spans in seconds as stored (deciphered),\n"
    "  next the repeat-next unit 0-4 (none, day, week, month, year).\n"
    "\n"
    "  import-*: the import is one folder (a shortcut: one note) appended to DOC,\n"
    "  which is then saved as the program saves; a DOC that does not exist yet is\n"
    "  created (with the password of --password-stdin). Files in UTF-8 are\n"
    "  converted to the code page; characters it cannot hold become \"?\" and are\n"
    "  reported. When a file or folder cannot be read, nothing is saved (exit 1).\n"
    "\n"
    "Exit status: 0 done, 1 failed (message on standard error), 2 wrong usage.\n"
    "find, as grep: 0 something matched, 1 nothing did, 2 wrong usage or failure.\n";

const CCommand *commandNamed(const QString &name)
{
    for (const CCommand &c : kCommands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

// The problem, the usage line of the command (of tqb when there is none)
// and where the rest is: the whole help would bury the one line that matters.
void usageHint(const CCommand *command)
{
    const QString usage = QString::fromLatin1(kUsage);
    const QString line = command ? CommandHelp::forCommand(usage, QLatin1String(command->name), command->passwordOption)
                                 : usage;
    const QString help = command ? QStringLiteral("tqb %1 --help").arg(QLatin1String(command->name))
                                 : QStringLiteral("tqb --help");
    CConsole::errorRaw(line.section(QLatin1Char('\n'), 0, 0) + QStringLiteral("\nTry '%1'.\n").arg(help));
}

int usageError(const QString &problem, const CCommand *command = nullptr)
{
    CConsole::error(problem);
    usageHint(command);
    return CCliSession::kUsage;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tqb"));

    CCliArguments args = CCliArguments::parse(QCoreApplication::arguments().mid(1));
    if (!args.error.isEmpty())
        return usageError(args.error, commandNamed(args.command));
    const auto answered = [](const QByteArray &text) {
        return CConsole::write(text) ? CCliSession::kSuccess : CCliSession::kFailure;
    };
    if (args.version)
        return answered("tqb (Torvi Quillbook) " TQB_VERSION "\n");
    // "tqb --help", "tqb help", "tqb COMMAND --help" and "tqb help COMMAND".
    if (args.help || args.command == QLatin1String("help")) {
        const QString about = args.command == QLatin1String("help") ? args.files.value(0) : args.command;
        if (about.isEmpty())
            return answered(kUsage);
        const CCommand *command = commandNamed(about);
        if (!command)
            return usageError(QStringLiteral("unknown command \"%1\"").arg(about));
        return answered(CommandHelp::forCommand(QString::fromLatin1(kUsage), about, command->passwordOption).toUtf8());
    }
    if (args.command.isEmpty())
        return usageError(QStringLiteral("no command given"));

    const CCommand *command = commandNamed(args.command);
    if (!command)
        return usageError(QStringLiteral("unknown command \"%1\"").arg(args.command));
    const bool find = args.command == QLatin1String("find");
    if (find) {
        if (args.files.size() != 2)
            return usageError(QStringLiteral("find takes a file name and the text to find"), command);
        args.findText = args.files.takeLast();
        if (args.findText.isEmpty())
            return usageError(QStringLiteral("find: the text to find is empty"), command);
    }
    if (args.files.size() != command->files) {
        return usageError(QStringLiteral("%1 takes %2 file name(s), %3 given")
                              .arg(args.command)
                              .arg(command->files)
                              .arg(args.files.size()),
                          command);
    }
    if ((args.json || !args.at.isEmpty()) && args.command != QLatin1String("reminders"))
        return usageError(QStringLiteral("%1 does not take --at or --json").arg(args.command), command);
    // An option listed for some commands is refused by every command that
    // does not list it too.
    const auto takes = [&args](const QString &option) {
        for (const COwnOptions &own : kOwnOptions) {
            if (args.command == QLatin1String(own.command)) {
                for (const char *o : own.options) {
                    if (o && option == QLatin1String(o))
                        return true;
                }
            }
        }
        return false;
    };
    for (const COwnOptions &own : kOwnOptions) {
        for (const char *option : own.options) {
            if (option && args.given.contains(QLatin1String(option)) && !takes(QLatin1String(option)))
                return usageError(QStringLiteral("%1 does not take %2").arg(args.command, QLatin1String(option)), command);
        }
    }
    if (args.passwordStdin && !command->passwordOption)
        return usageError(QStringLiteral("%1 does not take --password-stdin").arg(args.command), command);

    // The document makes the program's folder the current one; names given
    // relative to where tqb was started are fixed before that.
    for (QString &file : args.files)
        file = QFileInfo(file).absoluteFilePath();

    CCliSession session(std::move(args));
    const int opened = session.open();
    if (opened == CCliSession::kUsage)
        usageHint(command);
    if (opened != CCliSession::kSuccess)
        return find ? int(CCliSession::kUsage) : opened;  // find's 1 means "no match"
    const int exitCode = command->run(session);
    // Every failure says why, on one line; find's 1 only means "no match".
    if (exitCode != CCliSession::kSuccess && !(find && exitCode == 1) && CConsole::errorCount() == 0)
        CConsole::error(QStringLiteral("%1 failed").arg(session.args().command));
    return exitCode;
}
