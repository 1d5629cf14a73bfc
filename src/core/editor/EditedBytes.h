#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class CCodePage;

// The bytes behind a text being edited in the document's code page, kept in
// step change by change (the note pane, a tree label). Characters at either
// end of a change that did not change keep the bytes they had, so a byte the
// code page leaves undefined (shown as U+FFFD) stays itself; a U+FFFD coming
// back (Undo) gets the byte it stood for when it left. A line break is "\n"
// in the text and CR LF in the bytes.
class CEditedBytes
{
public:
    explicit CEditedBytes(const CCodePage &codePage) : m_codePage(codePage) {}

    // The bytes for `text` standing where `old` stood. `lost` receives a
    // character that had to become "?" (none when the text comes from the
    // bytes and what the code page holds).
    QByteArray bytesFor(QByteArrayView old, const QString &text, QString *lost);
    // Another text is shown: what left the last one cannot come back.
    void forget() { m_leftUndefined.clear(); }

private:
    const CCodePage &m_codePage;
    // Undefined bytes that left the text, one entry per change, newest last.
    QList<QByteArray> m_leftUndefined;
};
