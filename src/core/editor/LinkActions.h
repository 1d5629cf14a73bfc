#pragma once

#include <QCoreApplication>

#include <QString>

// What the editor does with a link in the note text: the text classes, the
// Open, E-mail and Call commands, the double-click with its four "DblClick"
// flags, the recovery of a quoted path from one clicked word, and Local
// link. Each returns what to do; the pane carries it out.
namespace links {

inline constexpr const char *kExampleWebSite = "https://torvi-quillbook.example.org";
inline constexpr const char *kExampleMail = "support@torvi-quillbook.example.org";
QString openHelpMessage();   // Open with nothing selected
QString emailHelpMessage();  // E-mail with nothing selected
inline constexpr const char *kCallHelp = QT_TRANSLATE_NOOP("links", "Select a phone number.");
// Asked before anything that would start a program or open a local file:
// note text is data, not commands.
inline constexpr const char *kOpenQuestion = QT_TRANSLATE_NOOP("links", "Open %1?");
// Asked, with No as the answer Enter gives, before a program or script starts.
inline constexpr const char *kRunQuestion = QT_TRANSLATE_NOOP("links", "Run the program %1?");

// The text classes, tested on trimmed text.
bool isEmailAddress(const QString &text);  // an at sign after the first character
bool isWebAddress(const QString &text);    // "www" or "://" anywhere
bool isAbsolutePath(const QString &text);  // ":\" anywhere
bool isPhoneNumber(const QString &text);   // two or more of digits, "(", ")", "-"
bool isFileName(const QString &text);      // a "." after the first character, no blank after the last one

struct Action
{
    enum Kind {
        None,     // nothing to do
        Message,  // show `target` as a message
        Open,     // hand `target` to the desktop (see targetKind)
        Call,     // dial `target`
        Copy,     // copy the editor's selection to the clipboard
    };
    Kind kind = None;
    QString target;

    bool operator==(const Action &) const = default;
};

// How a target is opened: addresses of the web and of mail directly, the
// rest only after the user agreed.
enum class TargetKind { Web, Mail, LocalPath, OtherUrl };
TargetKind targetKind(const QString &target);
// Web addresses and bare mail addresses; a mail address with parameters
// ("?attach=...") is asked about, as some mail programs act on them.
bool opensWithoutAsking(const QString &target);
// A file that runs code when handed to the desktop: an executable, or a
// script or installer by its extension.
bool runsCode(const QString &path, bool executable);
// The URL to hand over for a Web or Mail target ("www.x.org" gains "http://").
QString directUrl(const QString &target);

// A document folder is usable as the base of a relative name only when it is
// more than a drive root.
bool usableFolder(const QString &documentFolder);

Action open(const QString &selected, const QString &documentFolder);
Action email(const QString &selected);
Action call(const QString &selected);

struct DblClickFlags
{
    bool url = true;    // "DblU"
    bool mail = true;   // "DblM"
    bool phone = false; // "DblP"
    bool file = true;   // "DblF"
};

// The quoted-path recovery on the pane text T with the selection s..e.
// Positions are the caller's; line breaks may be "\n" or CR LF.
struct Recovery
{
    bool accepted = false;        // `candidate` replaces the selected text
    QString candidate;
    qsizetype showFrom = -1;      // range to select after the pause; -1: none
    qsizetype showTo = -1;
    bool clearSelection = false;  // accepted without an opening quote
};
Recovery recoverQuotedPath(const QString &pane, qsizetype s, qsizetype e);

// The double-click on the selection s..e of the pane, after the word was
// selected. `recovery` receives what the file step found, for the pane to show.
Action doubleClick(const QString &pane, qsizetype s, qsizetype e, const DblClickFlags &flags,
                   const QString &documentFolder, Recovery *recovery = nullptr);

// The word a double-click selects: the run of non-blank characters at pos.
struct Range
{
    qsizetype from = 0;
    qsizetype to = 0;
};
Range wordAt(const QString &pane, qsizetype pos);

// Local link: the chosen file relative to the document folder when it lies
// in it, in double quotes.
QString localLink(const QString &chosenPath, const QString &documentFolder);

} // namespace links
