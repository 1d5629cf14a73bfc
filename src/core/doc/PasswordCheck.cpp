#include "doc/PasswordCheck.h"

#include "doc/RecordMapper.h"

namespace {

constexpr char kTab = '\t';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

// Below this many characters a file written with another key is not taken
// on the strength of reading as text; longer than a word.
constexpr qsizetype kEnoughToTell = 24;

bool isControl(char c)
{
    const auto u = quint8(c);
    return u < 0x20 || u == 0x7F;
}

bool cleanTitle(QByteArrayView title)
{
    for (char c : title) {
        if (isControl(c) && c != kTab)
            return false;
    }
    return true;
}

bool cleanText(QByteArrayView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == kCr) {
            if (i + 1 >= n || text[i + 1] != kLf)
                return false;
            ++i;
        } else if (isControl(c) && c != kTab) {
            return false;  // a lone LF included
        }
    }
    return true;
}

}  // namespace

bool CPasswordCheck::writtenWith(const CRecordIndex &records, const CRecordCodec::Key &key)
{
    if (!records.empty()) {
        const CRecordView first = records.view(0);
        if (CRecordMapper::isHeader(first) && first.m_nSchema != 1 && first.m_nRemind >= 0) {
            const CNoteInfo header = CRecordCodec::read(first, key).info;
            if (header.m_times[3] != 0 || header.m_times[4] != 0)
                return false;
        }
    }
    const CRecordCodec codec(key);
    for (size_t i = 0; i < records.size(); ++i) {
        const CRecordView record = records.view(i);
        if (!codec.allWidened(record.m_wTitle, 0) || !codec.allWidened(record.m_wText, record.m_wTitle.size()))
            return false;
    }
    return true;
}

bool CPasswordCheck::readsAsText(const CRecordIndex &records, const CRecordCodec::Key &key)
{
    const CRecordCodec codec(key);
    qsizetype characters = 0;
    qsizetype blanks = 0;
    // One buffer for every record's characters, grown to the longest.
    QByteArray chars;
    for (size_t i = 0; i < records.size(); ++i) {
        const CRecordView record = records.view(i);
        const qsizetype titleLength = qsizetype(record.m_wTitle.size());
        const qsizetype textLength = qsizetype(record.m_wText.size());
        if (chars.size() < titleLength + textLength)
            chars.resize(titleLength + textLength);
        codec.decodeChars(record.m_wTitle, 0, chars.data());
        codec.decodeChars(record.m_wText, size_t(titleLength), chars.data() + titleLength);
        const QByteArrayView title(chars.constData(), titleLength);
        const QByteArrayView text(chars.constData() + titleLength, textLength);
        if (!cleanTitle(title) || !cleanText(text))
            return false;
        characters += titleLength + textLength;
        blanks += title.count(' ') + text.count(' ') + text.count('\n');
    }
    // A few characters tell nothing: a wrong key yields clean ones often
    // enough. Words are parted by blanks and lines in every language these
    // code pages write; a wrong key leaves hardly any blank in place.
    return characters >= kEnoughToTell && blanks > 0;
}

CPasswordCheck::Verdict CPasswordCheck::judge(const CRecordIndex &records, const CRecordCodec::Key &key)
{
    if (writtenWith(records, key))
        return Verdict::Fits;
    return readsAsText(records, key) ? Verdict::Unsure : Verdict::Wrong;
}
