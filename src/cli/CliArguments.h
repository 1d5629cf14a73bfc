#pragma once

#include <QString>
#include <QStringList>

// What was asked on the command line: a command, its files and the options.
// Options may stand anywhere; "--" ends them.
struct CCliArguments
{
    QString command;
    QStringList files;
    bool passwordStdin = false;
    QString codePage;  // empty: the "CodePage" setting
    bool help = false;
    QString at;        // --at "YYYY-MM-DD HH:MM" (local time); empty: now
    bool json = false; // --json
    bool header = false;  // --header (import-csv): the first line holds the column names
    int under = -1;       // --under N (import-*): below the item with item index N; -1: at the root level
    QString error;     // the usage problem; empty when the arguments could be read

    static CCliArguments parse(const QStringList &arguments);  // without the program name
};
