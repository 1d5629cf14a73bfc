#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "doc/TorviQuillbookDoc.h"
#include "find/NoteSearch.h"
#include "text/TextMatch.h"

int runFind(CCliSession &session)
{
    // As grep: 1 is "nothing matched", so a failure exits with 2.
    constexpr int kNoMatch = 1;
    constexpr int kFailed = CCliSession::kUsage;
    const CCodePage &page = session.codePage();
    const QString &text = session.args().findText;
    const auto needle = page.fromUnicode(text);
    if (!needle) {
        CCliSession::fail(QStringLiteral("find: the code page %1 cannot hold every character of \"%2\"")
                              .arg(page.name(), text));
        return kFailed;
    }
    if (!session.takePasswordOption())
        return kFailed;
    const CTextMatcher matcher(*needle, session.args().caseSensitive, page);
    const bool titlesOnly = session.args().titlesOnly;
    const auto doc = session.makeReader();
    // Only the texts of hits are decoded and kept: the others are searched
    // once, where they lie in the file when their characters are stored plain.
    doc->setTextFilter([&matcher, titlesOnly](const QByteArray &title, const CStoredText &text) {
        if (matcher.foundIn(title))
            return true;
        if (titlesOnly)
            return false;
        if (const char *plain = text.plainEveryOther())
            return matcher.indexInEveryOther(plain, text.size()) >= 0;
        return matcher.foundIn(text.decoded());
    });
    if (!doc->openDocument(session.file(0), false))
        return kFailed;

    QByteArray out;
    bool any = false;
    for (qsizetype i = 0; i < doc->count(); ++i) {
        const qsizetype inTitle = matcher.indexIn(doc->title(i));
        const qsizetype inText = inTitle >= 0 || titlesOnly ? -1 : matcher.indexIn(doc->text(i));
        if (inTitle < 0 && inText < 0)
            continue;
        any = true;
        out += QByteArray::number(i) + '\t' + page.toUnicode(doc->title(i)).toUtf8();
        if (session.args().context) {
            const QByteArray &text = doc->text(i);
            const CSearchHit hit = inTitle >= 0 ? CSearchHit::title(quint32(i), inTitle) : CSearchHit::text(quint32(i), inText);
            out += '\t' + page.toUnicode(notesearch::contextFor(text, hit, matcher, titlesOnly).line).toUtf8();
        }
        out += '\n';
    }
    if (!CConsole::write(out))
        return kFailed;
    return any ? CCliSession::kSuccess : kNoMatch;
}
