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
    bool version = false;  // --version, -v
    QString at;        // --at "YYYY-MM-DD HH:MM" (local time); empty: now
    bool json = false; // --json
    int under = -1;    // add --under N: the item index to add below; -1: the root level
    bool hasTitle = false;
    QString title;     // add --title TITLE
    int length = 0;    // genpass --length N; 0: the generator's setting
    bool digits = false;   // genpass --digits
    bool letters = false;  // genpass --letters
    bool special = false;  // genpass --special
    int count = 1;     // genpass --count K
    bool caseSensitive = false;  // find --case
    bool titlesOnly = false;     // find --titles
    bool context = false;        // find --context
    QString findText;  // find FILE TEXT: the TEXT, taken out of the file names by main
    QStringList given; // the options that were given, by name ("--under", ...)
    int waitSeconds = -1;  // --wait SECONDS for a document's lock; -1: the default
    bool header = false;  // --header (import-csv): the first line holds the column names
    bool encrypt = false;     // --encrypt (passwd, from-json): the sealed form
    bool compatible = false;  // --compatible (passwd): the cipher older versions read
    QString error;     // the usage problem; empty when the arguments could be read

    static CCliArguments parse(const QStringList &arguments);  // without the program name
};
