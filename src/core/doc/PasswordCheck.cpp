#include "doc/PasswordCheck.h"

#include "doc/RecordMapper.h"

namespace {

constexpr char kTab = '\t';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

// Below this many characters a file written with another key is not taken
// on the strength of reading as text; longer than a word.
constexpr qsizetype kEnoughToTell = 24;

quint16 keyAt(const CRecordCodec::Key &key, size_t index)
{
    return key.empty() ? 0 : quint16(key[index % key.size()]);
}

// Every WORD minus its key value is a sign-extended byte.
bool wordsWidened(const std::vector<quint16> &words, const CRecordCodec::Key &key, size_t phase)
{
    for (size_t i = 0; i < words.size(); ++i) {
        const quint16 plain = quint16(words[i] - keyAt(key, phase + i));
        if (plain > 0x007F && plain < 0xFF80)
            return false;
    }
    return true;
}

bool isControl(char c)
{
    const auto u = quint8(c);
    return u < 0x20 || u == 0x7F;
}

bool cleanTitle(const QByteArray &title)
{
    for (char c : title) {
        if (isControl(c) && c != kTab)
            return false;
    }
    return true;
}

bool cleanText(const QByteArray &text)
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

bool CPasswordCheck::writtenWith(const std::vector<CDataNotes> &records, const CRecordCodec::Key &key)
{
    if (!records.empty() && CRecordMapper::isHeader(records.front()) && records.front().m_nSchema != 1
        && records.front().m_nRemind >= 0) {
        const CNoteInfo header = CRecordCodec::read(records.front(), key).info;
        if (header.m_times[3] != 0 || header.m_times[4] != 0)
            return false;
    }
    for (const CDataNotes &record : records) {
        if (!wordsWidened(record.m_wTitle, key, 0) || !wordsWidened(record.m_wText, key, record.m_wTitle.size()))
            return false;
    }
    return true;
}

bool CPasswordCheck::readsAsText(const std::vector<CDataNotes> &records, const CRecordCodec::Key &key)
{
    const CRecordCodec codec(key);
    qsizetype characters = 0;
    qsizetype blanks = 0;
    for (const CDataNotes &record : records) {
        const CRecordCodec::Item item = codec.read(record);
        if (!cleanTitle(item.title) || !cleanText(item.text))
            return false;
        characters += item.title.size() + item.text.size();
        blanks += item.title.count(' ') + item.text.count(' ') + item.text.count('\n');
    }
    // A few characters tell nothing: a wrong key yields clean ones often
    // enough. Words are parted by blanks and lines in every language these
    // code pages write; a wrong key leaves hardly any blank in place.
    return characters >= kEnoughToTell && blanks > 0;
}

CPasswordCheck::Verdict CPasswordCheck::judge(const std::vector<CDataNotes> &records, const CRecordCodec::Key &key)
{
    if (writtenWith(records, key))
        return Verdict::Fits;
    return readsAsText(records, key) ? Verdict::Unsure : Verdict::Wrong;
}
