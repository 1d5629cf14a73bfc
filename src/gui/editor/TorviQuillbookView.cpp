#include "editor/TorviQuillbookView.h"
#include <QCoreApplication>

#include "app/FontConversion.h"
#include "doc/TorviQuillbookDoc.h"
#include "find/PaneReplacement.h"
#include "settings/LogFont.h"
#include "settings/Settings.h"
#include "text/CodePage.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QUrl>

#include <algorithm>

namespace {

// A drag that carries files: Qt offers it as text too (the file:// URLs), but
// a file dropped on the window is opened, never typed into the note.
bool carriesFiles(const QMimeData *data)
{
    if (!data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
}

noteblock::Key keyOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F6:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return noteblock::Key::Pass;
    case Qt::Key_Delete:
        return noteblock::Key::Delete;
    case Qt::Key_Backspace:
        return noteblock::Key::Backspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return noteblock::Key::Enter;
    default:
        return noteblock::Key::Other;
    }
}

} // namespace

CTorviQuillbookView::CTorviQuillbookView(CTorviQuillbookDoc &doc, const CCodePage &codePage, QWidget *parent)
    : QPlainTextEdit(parent), m_doc(doc), m_codePage(codePage), m_block(doc),
      m_menuContext(new QMenu(this)), m_links(doc), m_edited(codePage)
{
    setObjectName(QStringLiteral("note"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);  // Tab goes to the tree; Ctrl+Tab stands in for it

    const auto add = [this](const QString &text, auto slot) {
        QAction *a = m_menuContext->addAction(text);
        connect(a, &QAction::triggered, this, slot);
    };
    add(tr("Undo \tCtrl+Z"), &QPlainTextEdit::undo);
    add(tr("Cut \tCtrl+X"), &CTorviQuillbookView::guardedCut);
    add(tr("Copy \tCtrl+C"), &QPlainTextEdit::copy);
    add(tr("Paste \tCtrl+V"), &CTorviQuillbookView::guardedPaste);
    m_menuContext->addSeparator();
    add(tr("Open\tAlt+O"), &CTorviQuillbookView::openSelection);
    add(tr("E-mail\tAlt+E"), &CTorviQuillbookView::emailSelection);
    add(tr("Call\tAlt+D"), &CTorviQuillbookView::callSelection);

    m_wordPause.setSingleShot(true);
    m_wordPause.setInterval(kWordPauseMs);
    connect(&m_wordPause, &QTimer::timeout, this, &CTorviQuillbookView::runDoubleClick);

    connect(document(), &QTextDocument::contentsChange, this, &CTorviQuillbookView::onContentsChange);
    connect(&m_doc, &CTorviQuillbookDoc::updateAllViews, this, &CTorviQuillbookView::onDocumentUpdate);
    showCurrentItem();
}

CTorviQuillbookView::~CTorviQuillbookView()
{
    disconnect(&m_doc, nullptr, this, nullptr);
}

void CTorviQuillbookView::setLauncher(ILauncher *launcher)
{
    m_links.setLauncher(launcher);
}

noteblock::Layout CTorviQuillbookView::paneLayout() const
{
    const noteblock::Layout bytes = m_block.layout();
    return {bytes.titleEnd - m_block.lineBreaksBefore(bytes.titleEnd),
            bytes.bodyStart - m_block.lineBreaksBefore(bytes.bodyStart)};
}

qsizetype CTorviQuillbookView::bytePosition(qsizetype position) const
{
    // Each line break before the position is CR LF in the document: one more.
    return position + document()->findBlock(int(position)).blockNumber();
}

void CTorviQuillbookView::onDocumentUpdate(int hint)
{
    // The pane's own notice (hint 6, sent while it writes back) changes
    // nothing here but the margins.
    if (m_bWritingBack || hint == CTorviQuillbookDoc::kHintTitleChanged) {
        setMargins();
        return;
    }
    showCurrentItem();
}

void CTorviQuillbookView::showCurrentItem()
{
    m_wordPause.stop();
    m_edited.forget();
    m_bLoading = true;
    const QString shown = m_codePage.toUnicode(m_block.load());
    const bool anywhere = noteblock::hasOverlongWord(shown);
    if (anywhere != (wordWrapMode() == QTextOption::WrapAnywhere)) {
        clear();  // the note going away is not laid out again in the new mode
        breakLinesAnywhere(anywhere);
    }
    setPlainText(shown);
    m_nBlockCount = document()->blockCount();
    m_bLoading = false;
    setEnabled(m_block.hasItem());
    setMargins();
}

void CTorviQuillbookView::breakLinesAnywhere(bool anywhere)
{
    setWordWrapMode(anywhere ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void CTorviQuillbookView::setMargins()
{
    if (document()->documentMargin() != kMargin)
        document()->setDocumentMargin(kMargin);
}

void CTorviQuillbookView::moveCaret(qsizetype position)
{
    QTextCursor c = textCursor();
    c.setPosition(int(qBound(qsizetype(0), position, qsizetype(document()->characterCount() - 1))));
    setTextCursor(c);
    ensureCursorVisible();
}

void CTorviQuillbookView::onContentsChange(int position, int removed, int added)
{
    if (m_bLoading || !m_block.hasItem())
        return;
    QTextDocument *d = document();
    const int length = d->characterCount() - 1;  // without the closing paragraph mark
    // A change reported up to the closing paragraph mark counts it on both sides.
    if (position + added > length) {
        const int over = position + added - length;
        added -= over;
        removed -= over;
    }
    const int blocks = d->blockCount();
    if (position < 0 || added < 0 || removed < 0) {
        m_nBlockCount = blocks;
        readWholePane();
        return;
    }
    QTextCursor c(d);
    c.setPosition(position);
    c.setPosition(position + added, QTextCursor::KeepAnchor);
    QString text = c.selectedText();
    const qsizetype breaksAdded = text.count(QChar::ParagraphSeparator);
    const qsizetype breaksRemoved = m_nBlockCount - blocks + breaksAdded;
    m_nBlockCount = blocks;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    const qsizetype from = position + d->findBlock(position).blockNumber();
    const qsizetype removedBytes = removed + breaksRemoved;
    if (breaksRemoved < 0 || from + removedBytes > m_block.pane().size()) {
        readWholePane();
        return;
    }
    QString lost;
    const QByteArray added8 = bytesFor(from, removedBytes, text, &lost);
    const qsizetype expected = m_block.pane().size() - removedBytes + added8.size();
    if (expected != length + (blocks - 1)) {
        readWholePane();
        return;
    }
    m_bWritingBack = true;
    m_block.applyEdit(from, removedBytes, added8);
    m_bWritingBack = false;
    if (!lost.isEmpty())
        reportUnmappable(lost, 0);
    if (m_block.separatorMissing()) {
        // Give the title its text line back, keeping the caret where it was.
        QTimer::singleShot(0, this, [this, caret = textCursor().position()] {
            showCurrentItem();
            moveCaret(caret);
        });
    }
}

void CTorviQuillbookView::readWholePane()
{
    ++m_nWholeReads;
    // The raw text: toPlainText() would turn no-break spaces into blanks.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QString lost;
    const QByteArray bytes = bytesFor(0, m_block.pane().size(), text, &lost);
    m_bWritingBack = true;
    m_block.setPane(bytes);
    m_bWritingBack = false;
    if (!lost.isEmpty())
        reportUnmappable(lost, 0);
}

QByteArray CTorviQuillbookView::bytesFor(qsizetype from, qsizetype removed, const QString &text, QString *lost)
{
    return m_edited.bytesFor(QByteArrayView(m_block.pane()).sliced(from, removed), text, lost);
}

void CTorviQuillbookView::reportUnmappable(const QString &text, qsizetype at)
{
    // Every way in refuses such characters; one that slips through is kept
    // as a question mark and said so, never dropped unseen. Said after the
    // change, which would otherwise take the message away with it.
    QTimer::singleShot(0, this, [this, message = m_codePage.unmappableMessage(text, at)] { emit statusMessage(message); });
}

bool CTorviQuillbookView::insertGuarded(QString text, Insert mode, bool undoable)
{
    if (!m_block.hasItem())
        return false;
    QTextCursor c = textCursor();
    const qsizetype s = c.selectionStart();
    const qsizetype e = c.selectionEnd();
    const noteblock::Layout layout = paneLayout();
    const QString refusal = noteblock::pasteRefusal(layout, s, e);
    if (!refusal.isEmpty()) {
        if (mode == Insert::Typed)
            moveCaret(layout.bodyStart);
        else
            m_doc.prompter().message(refusal);
        return false;
    }
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text = noteblock::fitToLine(layout, s, text);
    const qsizetype bad = m_codePage.firstUnmappable(text);
    if (bad >= 0) {
        emit statusMessage(m_codePage.unmappableMessage(text, bad));
        return false;
    }
    QByteArray bytes = noteblock::normalizeBreaks(m_codePage.fromUnicode(text).value_or(QByteArray()));
    const qsizetype room = noteblock::room(m_block.pane().size(), bytePosition(e) - bytePosition(s));
    QString cutShort;
    if (bytes.size() > room) {
        if (mode == Insert::Typed) {
            QApplication::beep();
            return false;
        }
        const qsizetype offered = bytes.size();
        // What fits goes in, as far as the last whole character.
        bytes.truncate(room);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        cutShort = noteblock::partialPasteMessage(bytes.size(), offered);
        if (bytes.isEmpty()) {
            QApplication::beep();
            emit statusMessage(cutShort);
            return false;
        }
        text = m_codePage.toUnicode(bytes);
    }
    if (text.isEmpty() && s == e)
        return false;
    if (noteblock::hasOverlongWord(text))
        breakLinesAnywhere(true);
    if (!undoable)
        document()->setUndoRedoEnabled(false);
    c.insertText(text);
    if (!undoable)
        document()->setUndoRedoEnabled(true);
    setTextCursor(c);
    ensureCursorVisible();
    if (!cutShort.isEmpty())
        emit statusMessage(cutShort);
    return true;
}

void CTorviQuillbookView::keyPressEvent(QKeyEvent *event)
{
    if (!m_block.hasItem()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    const QTextCursor c = textCursor();
    const noteblock::Layout layout = paneLayout();
    switch (noteblock::guardKey(keyOf(event), layout, c.selectionStart(), c.selectionEnd())) {
    case noteblock::KeyDecision::JumpToBody:
        moveCaret(layout.bodyStart);
        event->accept();
        return;
    case noteblock::KeyDecision::Swallow:
        event->accept();
        return;
    case noteblock::KeyDecision::Normal:
        break;
    }
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        insertFourSpaces();
        event->accept();
        return;
    }
    // Word and line deletes reach past the caret's neighbour: the same guard
    // on the range they would take.
    if (!c.hasSelection()) {
        QTextCursor reach = c;
        bool deletes = true;
        if (event->matches(QKeySequence::DeleteStartOfWord))
            reach.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
        else if (event->matches(QKeySequence::DeleteEndOfWord))
            reach.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        else if (event->matches(QKeySequence::DeleteEndOfLine))
            reach.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        else if (event->matches(QKeySequence::DeleteCompleteLine))
            reach.select(QTextCursor::BlockUnderCursor);
        else
            deletes = false;
        if (deletes && noteblock::touchesSeparator(layout, reach.selectionStart(), reach.selectionEnd())) {
            event->accept();
            return;
        }
    }
    const QString text = event->text();
    // A character key, not a command key: Ctrl, Alt and Meta make commands,
    // Ctrl with Alt together is AltGr typing a character.
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool character = mods == Qt::NoModifier || mods == (Qt::ControlModifier | Qt::AltModifier);
    // A character the code page cannot hold (an emoji is two QChars, neither
    // of them printable alone) is refused before the pane takes it.
    if (character && !text.isEmpty()) {
        if (const qsizetype bad = m_codePage.firstUnmappable(text); bad >= 0) {
            emit statusMessage(m_codePage.unmappableMessage(text, bad));
            event->accept();
            return;
        }
    }
    const bool typing = character && !text.isEmpty() && text.at(0).isPrint();
    if (typing) {
        insertGuarded(text, Insert::Typed, true);
        event->accept();
        return;
    }
    if (keyOf(event) == noteblock::Key::Enter) {
        if (noteblock::room(m_block.pane().size(), bytePosition(c.selectionEnd()) - bytePosition(c.selectionStart())) < 2) {
            QApplication::beep();
            event->accept();
            return;
        }
        // A paragraph break, never the soft line break Shift+Enter would give.
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CTorviQuillbookView::inputMethodEvent(QInputMethodEvent *event)
{
    const qsizetype bad = m_codePage.firstUnmappable(event->commitString());
    if (bad >= 0) {
        emit statusMessage(m_codePage.unmappableMessage(event->commitString(), bad));
        event->accept();
        return;
    }
    const QTextCursor c = textCursor();
    if (!event->commitString().isEmpty() &&
        noteblock::touchesSeparator(paneLayout(), c.selectionStart(), c.selectionEnd())) {
        moveCaret(paneLayout().bodyStart);
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void CTorviQuillbookView::contextMenuEvent(QContextMenuEvent *event)
{
    m_menuContext->exec(event->globalPos());
}

void CTorviQuillbookView::mousePressEvent(QMouseEvent *event)
{
    // A press inside a selection that holds the separator would start a drag
    // that moves it away: such a press places the caret instead.
    const QTextCursor c = textCursor();
    if (event->button() == Qt::LeftButton && c.hasSelection() &&
        noteblock::touchesSeparator(paneLayout(), c.selectionStart(), c.selectionEnd())) {
        const int at = cursorForPosition(event->position().toPoint()).position();
        if (at >= c.selectionStart() && at <= c.selectionEnd())
            moveCaret(at);
    }
    QPlainTextEdit::mousePressEvent(event);
}

void CTorviQuillbookView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (!m_block.hasItem() || event->button() != Qt::LeftButton)
        return;
    // The word is everything between blanks, addresses and paths included.
    const links::Range word = links::wordAt(toPlainText(), textCursor().position());
    QTextCursor c = textCursor();
    c.setPosition(int(word.from));
    c.setPosition(int(word.to), QTextCursor::KeepAnchor);
    setTextCursor(c);
    if (event->modifiers() & Qt::AltModifier)
        return;
    // The wait lets the click finish before the word is acted on, without
    // holding up the window.
    m_wordPause.start();
}

void CTorviQuillbookView::runDoubleClick()
{
    const QString pane = toPlainText();
    const QTextCursor c = textCursor();
    const CSettings &settings = m_doc.settings();
    links::Recovery recovery;
    const links::Action action =
        links::doubleClick(pane, c.selectionStart(), c.selectionEnd(),
                           {settings.isOn(CSettings::DblU), settings.isOn(CSettings::DblM), settings.isOn(CSettings::DblP),
                            settings.isOn(CSettings::DblF)}, m_doc.documentFolder(), &recovery);
    if (recovery.clearSelection)
        moveCaret(c.position());
    if (recovery.showFrom >= 0 && recovery.showTo > recovery.showFrom) {
        QTimer::singleShot(kRangePauseMs, this, [this, recovery, action, item = m_doc.m_nCurItem] {
            if (item != m_doc.m_nCurItem)
                return;  // another note is shown by now
            QTextCursor range = textCursor();
            const int end = document()->characterCount() - 1;
            range.setPosition(int(qMin<qsizetype>(recovery.showFrom, end)));
            range.setPosition(int(qMin<qsizetype>(recovery.showTo, end)), QTextCursor::KeepAnchor);
            setTextCursor(range);
            ensureCursorVisible();
            perform(action);
        });
        return;
    }
    perform(action);
}

void CTorviQuillbookView::perform(const links::Action &action)
{
    m_links.run(action, [this] { copy(); });
}

QString CTorviQuillbookView::selectedPaneText() const
{
    QString text = textCursor().selectedText();
    return text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

bool CTorviQuillbookView::canRunEdit(Edit edit) const
{
    switch (edit) {
    case Edit::Undo:
        return !isReadOnly() && document()->isUndoAvailable();
    case Edit::Cut:
        return !isReadOnly() && textCursor().hasSelection();
    case Edit::Copy:
        return textCursor().hasSelection();
    case Edit::Paste:
        return !isReadOnly() && canPaste();
    }
    return false;
}

void CTorviQuillbookView::runEdit(Edit edit)
{
    switch (edit) {
    case Edit::Undo:
        undo();
        break;
    case Edit::Cut:
        guardedCut();
        break;
    case Edit::Copy:
        copy();
        break;
    case Edit::Paste:
        guardedPaste();
        break;
    }
}

void CTorviQuillbookView::guardedCut()
{
    const QTextCursor c = textCursor();
    const QString refusal = noteblock::cutRefusal(paneLayout(), c.selectionStart(), c.selectionEnd());
    if (!refusal.isEmpty()) {
        m_doc.prompter().message(refusal);
        return;
    }
    cut();
}

void CTorviQuillbookView::guardedPaste()
{
    const QTextCursor c = textCursor();
    const QString refusal = noteblock::pasteRefusal(paneLayout(), c.selectionStart(), c.selectionEnd());
    if (!refusal.isEmpty()) {
        m_doc.prompter().message(refusal);
        return;
    }
    paste();
}

bool CTorviQuillbookView::canInsertFromMimeData(const QMimeData *source) const
{
    return m_block.hasItem() && source->hasText();
}

void CTorviQuillbookView::insertFromMimeData(const QMimeData *source)
{
    // Paste and drop both come here: the same guards as for typing.
    if (source->hasText())
        insertGuarded(source->text(), Insert::Pasted, true);
}

void CTorviQuillbookView::dragEnterEvent(QDragEnterEvent *event)
{
    // Ignored here, the drag goes on to the window.
    if (carriesFiles(event->mimeData()))
        event->ignore();
    else
        QPlainTextEdit::dragEnterEvent(event);
}

void CTorviQuillbookView::dragMoveEvent(QDragMoveEvent *event)
{
    if (carriesFiles(event->mimeData()))
        event->ignore();
    else
        QPlainTextEdit::dragMoveEvent(event);
}

void CTorviQuillbookView::dropEvent(QDropEvent *event)
{
    if (carriesFiles(event->mimeData()))
        event->ignore();
    else
        QPlainTextEdit::dropEvent(event);
}

void CTorviQuillbookView::insertFourSpaces()
{
    insertGuarded(QString::fromLatin1(noteblock::kFourSpaces), Insert::Typed, false);
}

bool CTorviQuillbookView::insertAtCaret(const QString &text)
{
    return insertGuarded(text, Insert::Command, false);
}

void CTorviQuillbookView::openSelection()
{
    perform(links::open(selectedPaneText(), m_doc.documentFolder()));
}

void CTorviQuillbookView::emailSelection()
{
    perform(links::email(selectedPaneText()));
}

void CTorviQuillbookView::callSelection()
{
    perform(links::call(selectedPaneText()));
}

void CTorviQuillbookView::insertLocalLink()
{
    if (!m_block.hasItem())
        return;
    const QString chosen = m_doc.prompter().chooseOpenFile(tr("Open"), m_doc.dialogFolder(),
                                                           tr("All Files (*.*)"));
    if (!chosen.isEmpty())
        insertGuarded(links::localLink(chosen, m_doc.documentFolder()), Insert::Command, false);
}

bool CTorviQuillbookView::findInNote(const QString &text, bool caseSensitive)
{
    const qsizetype at = noteblock::findInPane(toPlainText(), text, textCursor().selectionEnd(), caseSensitive);
    if (at < 0)
        return false;
    QTextCursor c = textCursor();
    c.setPosition(int(at));
    c.setPosition(int(at + text.size()), QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
    return true;
}

bool CTorviQuillbookView::replaceSelection(const QString &text)
{
    if (!textCursor().hasSelection())
        return false;
    return insertGuarded(text, Insert::Command, false);
}

int CTorviQuillbookView::replaceRanges(const QList<INoteText::Range> &ranges, const QString &replacement)
{
    if (!m_block.hasItem() || ranges.isEmpty())
        return 0;
    QString shown = document()->toRawText();
    shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    const CPaneReplacement change =
        CPaneReplacement::compute(shown, m_block.pane(), paneLayout(), ranges, replacement, m_codePage);
    if (!change.unmappable.isEmpty()) {
        emit statusMessage(change.unmappable);
        return 0;
    }
    if (change.refused)
        m_doc.prompter().message(QCoreApplication::translate("noteblock", noteblock::kDontPaste));
    if (change.count == 0)
        return 0;

    // One change of the pane over the span from the first replacement to the
    // end of the last, its bytes written back once.
    if (noteblock::hasOverlongWord(change.with))
        breakLinesAnywhere(true);
    m_bLoading = true;
    document()->setUndoRedoEnabled(false);
    QTextCursor c(document());
    c.setPosition(int(change.first));
    c.setPosition(int(change.lastEnd), QTextCursor::KeepAnchor);
    c.insertText(change.shown);
    document()->setUndoRedoEnabled(true);
    m_nBlockCount = document()->blockCount();
    m_bLoading = false;
    m_bWritingBack = true;
    m_block.setPane(change.pane);
    m_bWritingBack = false;
    moveCaret(change.lastNewEnd);
    return change.count;
}

void CTorviQuillbookView::showEvent(QShowEvent *event)
{
    QPlainTextEdit::showEvent(event);
    if (!m_bFontApplied) {
        m_bFontApplied = true;
        applyFont();
    }
}

void CTorviQuillbookView::applyFont()
{
    const std::optional<CLogFont> stored = CLogFont::fromBytes(m_doc.settings().bytes(CSettings::Font));
    setFont(stored ? fontconv::toQFont(*stored, m_codePage) : QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    setMargins();
}

void CTorviQuillbookView::chooseFont()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font(), this, QString(), QFontDialog::DontUseNativeDialog);
    if (!ok)
        return;
    const CLogFont base = CLogFont::fromBytes(m_doc.settings().bytes(CSettings::Font)).value_or(CLogFont{});
    m_doc.settings().setBytes(CSettings::Font, fontconv::toLogFont(chosen, m_codePage, base).toBytes());
    applyFont();
}
