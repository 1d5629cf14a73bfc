#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "doc/RecordMapper.h"
#include "doc/TorviQuillbookDoc.h"
#include "editor/CaptureSplit.h"
#include "io/InputFile.h"
#include "tree/InfoTree.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

std::optional<QByteArray> toPage(const CCodePage &page, const QString &what, const QString &text)
{
    const qsizetype bad = page.firstUnmappable(text);
    if (bad >= 0) {
        CCliSession::fail(QStringLiteral("the %1 has a character that %2 cannot hold: \"%3\"")
                              .arg(what, page.name(), text.at(bad)));
        return std::nullopt;
    }
    return page.fromUnicode(text);
}

}  // namespace

int runAdd(CCliSession &session)
{
    const QString &path = session.file(0);
    const CCliArguments &args = session.args();
    if (!session.takePasswordOption())
        return CCliSession::kFailure;

    const std::optional<QByteArray> bytes = CConsole::readAll(CInputFile::kMaxImportBytes);
    if (!bytes)
        return CCliSession::fail(CInputFile::tooLargeText(QStringLiteral("standard input"), CInputFile::kMaxImportBytes));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString input = utf8(*bytes);
    if (utf8.hasError())
        return CCliSession::fail(QStringLiteral("standard input is not UTF-8 text"));
    // The document keeps line breaks as CR LF.
    input.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    input.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));

    // As quick capture does with "Auto title" on, unless a title is given.
    CaptureSplit::Result parts;
    if (args.hasTitle) {
        parts.title = args.title;
        parts.text = CaptureSplit::trimText(input);
    } else {
        parts = CaptureSplit::split(input, true);
        if (parts.title.isEmpty() && parts.text.isEmpty())
            return CCliSession::fail(QStringLiteral("standard input holds no text to add"));
    }
    const std::optional<QByteArray> title = toPage(session.codePage(), QStringLiteral("title"), parts.title);
    if (!title)
        return CCliSession::kFailure;
    const std::optional<QByteArray> text = toPage(session.codePage(), QStringLiteral("text"), parts.text);
    if (!text)
        return CCliSession::kFailure;

    CInfoTree::Handle note = CInfoTree::kNone;
    qint32 index = -1;
    const int changed = session.changeDocument(path, [&](CTorviQuillbookDoc &doc) {
        CInfoTree tree(doc);
        tree.initialUpdate();
        if (args.under >= 0 && !tree.selectByIndex(args.under)) {
            return CCliSession::fail(
                QStringLiteral("%1 has no item %2").arg(QDir::toNativeSeparators(path)).arg(args.under));
        }
        note = tree.addNote(*title, *text, args.under < 0);
        if (note == CInfoTree::kNone)
            return int(CCliSession::kFailure);  // the tree has said why
        // The index the note will have in the saved file, where a sorted
        // level may have put it ahead of older notes.
        index = qint32(CRecordMapper::indexInFile(doc, quint32(tree.model().data(note))));
        return int(CCliSession::kSuccess);
    });
    if (changed != CCliSession::kSuccess)
        return changed;
    // The new note's item index, for a later --under.
    return CConsole::write(QByteArray::number(index) + '\n') ? CCliSession::kSuccess : CCliSession::kFailure;
}
