#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: open a file, or print it (/p FILE) or print
// it on a named printer (/pt FILE PRINTER), the switches the file-type
// registration uses. A path that merely starts with a slash is a file name,
// not a switch: only the exact switch words count.
struct CCommandLine
{
    enum class Action { Open, Print, PrintTo };

    Action action = Action::Open;
    QString file;     // empty: none named
    QString printer;  // PrintTo only
    QString error;    // not empty: the line cannot be carried out, say this

    // `arguments` as QCoreApplication::arguments() gives them (program first).
    static CCommandLine parse(const QStringList &arguments);

    // Qt's report of the options in `arguments` that the program does not
    // know ("Unknown option 'bogus'."), empty when there are none. The
    // arguments are those left once the application took Qt's own switches
    // out; the print switches and file names are never options.
    static QString unknownOptions(const QStringList &arguments);

    bool prints() const { return action != Action::Open; }
    // A relative file name names a file in `folder`: the folder the program
    // was started in, which start-up leaves for the program's own.
    void resolveAgainst(const QString &folder);
};
