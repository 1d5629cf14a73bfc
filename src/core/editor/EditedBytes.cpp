#include "editor/EditedBytes.h"

#include "editor/NoteBlock.h"
#include "text/CodePage.h"

#include <optional>

QByteArray CEditedBytes::bytesFor(QByteArrayView oldBytes, const QString &text, QString *lost)
{
    const char *old = oldBytes.data();
    const qsizetype n = oldBytes.size();
    const QChar lineBreak = QLatin1Char('\n');
    const auto sameChar = [&](QChar shown, char byte) { return shown != lineBreak && shown == m_codePage.charOf(quint8(byte)); };
    // What did not change at the start and at the end keeps its bytes.
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < text.size() && j < n) {
        if (j + 1 < n && old[j] == '\r' && old[j + 1] == '\n') {
            if (text[i] != lineBreak)
                break;
            ++i;
            j += 2;
        } else if (sameChar(text[i], old[j])) {
            ++i;
            ++j;
        } else {
            break;
        }
    }
    qsizetype ti = text.size();
    qsizetype oj = n;
    while (ti > i && oj > j) {
        if (oj - 2 >= j && old[oj - 2] == '\r' && old[oj - 1] == '\n') {
            if (text[ti - 1] != lineBreak)
                break;
            --ti;
            oj -= 2;
        } else if (sameChar(text[ti - 1], old[oj - 1])) {
            --ti;
            --oj;
        } else {
            break;
        }
    }

    QByteArray leaving;
    for (qsizetype k = j; k < oj; ++k) {
        if (!m_codePage.maps(quint8(old[k])))
            leaving += old[k];
    }
    if (!leaving.isEmpty()) {
        constexpr qsizetype kRemembered = 64;
        if (m_leftUndefined.size() == kRemembered)
            m_leftUndefined.removeFirst();
        m_leftUndefined.append(leaving);
    }

    const QString middle = text.mid(i, ti - i);
    QByteArray bytes;
    if (std::optional<QByteArray> plain = m_codePage.fromUnicode(middle)) {
        bytes = std::move(*plain);
    } else {
        const QChar undefined(CCodePage::kReplacement);
        const qsizetype returning = middle.count(undefined);
        QByteArray restored;
        for (qsizetype k = m_leftUndefined.size() - 1; k >= 0 && returning > 0; --k) {
            if (m_leftUndefined[k].size() == returning) {
                restored = m_leftUndefined.takeAt(k);
                break;
            }
        }
        bytes = m_codePage.fromUnicodeOr(middle, '?');
        qsizetype next = 0;
        for (qsizetype k = 0; k < middle.size(); ++k) {
            if (bytes[k] != '?' || middle[k] == QLatin1Char('?'))
                continue;
            if (middle[k] == undefined && next < restored.size())
                bytes[k] = restored[next++];
            else if (lost && lost->isEmpty())
                *lost = middle.mid(k, middle[k].isHighSurrogate() ? 2 : 1);
        }
    }
    return QByteArray(old, j) + noteblock::normalizeBreaks(bytes) + QByteArray(old + oj, n - oj);
}
