#include "CommandHelp.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Entries of a list: a line with two leading blanks, then the lines indented
// deeper that continue it. A blank line or a heading ends the list.
QList<QStringList> entries(const QStringList &lines, qsizetype from)
{
    QList<QStringList> result;
    for (qsizetype i = from; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty() || !line.startsWith(QLatin1Char(' ')))
            break;
        if (line.startsWith(QLatin1String("   ")) && !result.isEmpty())
            result.last().append(line);
        else
            result.append(QStringList{line});
    }
    return result;
}

}  // namespace

QString CommandHelp::forCommand(const QString &usage, const QString &command, bool takesPassword)
{
    const QStringList lines = usage.split(QLatin1Char('\n'));
    const qsizetype commandsAt = 2;  // after "usage: ..." and a blank line
    QStringList own;
    for (const QStringList &entry : entries(lines, commandsAt)) {
        if (entry.first().mid(2).section(QLatin1Char(' '), 0, 0) == command)
            own = entry;
    }
    if (own.isEmpty())
        return {};

    // The synopsis is the entry's first line up to its description.
    static const QRegularExpression gap(QStringLiteral(" {2,}"));
    const QString synopsis = own.first().mid(2).split(gap).first();
    const bool takesCodePage = command != QLatin1String("genpass");
    QString options;
    bool waits = false;  // a writer: it waits for the document's lock

    const qsizetype optionsAt = lines.indexOf(QStringLiteral("Options:"));
    const QString mark = QLatin1Char('(') + command + QLatin1Char(')');
    const bool import = command.startsWith(QLatin1String("import-"));
    for (const QStringList &entry : optionsAt < 0 ? QList<QStringList>{} : entries(lines, optionsAt + 1)) {
        const QString first = entry.first();
        const QString body = entry.join(QLatin1Char('\n'));
        // "(add, import-*, passwd)": an option some commands share.
        static const QRegularExpression shared(QStringLiteral("\\(([a-z*-]+(, [a-z*-]+)+)\\)"));
        const QStringList sharedBy = shared.match(first).captured(1).split(QStringLiteral(", "));
        const bool listed = sharedBy.contains(command) || (import && sharedBy.contains(QLatin1String("import-*")));
        const bool belongs = body.contains(mark) || listed || (import && body.contains(QLatin1String("(import-*)")))
            || (takesPassword && first.startsWith(QLatin1String("  --password-stdin")))
            || (takesCodePage && first.startsWith(QLatin1String("  --codepage")))
            || first.startsWith(QLatin1String("  -h, --help"));
        if (belongs) {
            options += body + QLatin1Char('\n');
            waits = waits || first.startsWith(QLatin1String("  --wait"));
        }
    }
    QString text = QStringLiteral("usage: tqb %1%2%3%4\n\n")
                       .arg(synopsis, takesPassword ? QStringLiteral(" [--password-stdin]") : QString(),
                            takesCodePage ? QStringLiteral(" [--codepage NAME]") : QString(),
                            waits ? QStringLiteral(" [--wait SECONDS]") : QString());
    text += own.join(QLatin1Char('\n')) + QStringLiteral("\n\nOptions:\n") + options;

    // The exit status, with the command's own line where it has one.
    const qsizetype statusAt = lines.indexOf(QRegularExpression(QStringLiteral("^Exit status:.*")));
    if (statusAt >= 0) {
        text += QLatin1Char('\n') + lines[statusAt] + QLatin1Char('\n');
        for (qsizetype i = statusAt + 1; i < lines.size() && !lines[i].isEmpty(); ++i) {
            if (lines[i].startsWith(command + QLatin1Char(',')))
                text += lines[i] + QLatin1Char('\n');
        }
    }
    return text;
}
