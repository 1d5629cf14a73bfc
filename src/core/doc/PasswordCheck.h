#pragma once

#include <QCoreApplication>

#include "format/RecordCodec.h"
#include "format/RecordIndex.h"

// Tells whether a key reads a document's records as they were written. The
// file holds no password check of its own, yet a wrong key shows:
// - a conforming writer stores every character as its sign-extended byte
//   plus the key, so with the right key every WORD minus the key lies in
//   0x0000..0x007F or 0xFF80..0xFFFF; and the header's last two reminder
//   times, always zero, decipher to zero again;
// - the characters a wrong key yields include control characters that no
//   title or text holds (titles are one line; texts break lines with CR LF).
//
// A document written with the right key always passes the first test, so it
// is never refused. A file that fails it but reads as text (some words and
// no control characters) was written with another key by an older version,
// read with a wrong password and then saved: the check cannot tell which
// key is right, and the key is taken as before.
class CPasswordCheck
{
public:
    enum class Verdict {
        Fits,     // the records were written with this key
        Unsure,   // written with another key, but they read as text with this one
        Wrong,    // the key reads them as garbage, or there is nothing to tell by
    };

    static Verdict judge(const CRecordIndex &records, const CRecordCodec::Key &key);

    // Whether the key could have written these records (the first test above).
    static bool writtenWith(const CRecordIndex &records, const CRecordCodec::Key &key);
    // Whether the records read as titles and texts with this key, and hold
    // enough characters to tell by.
    static bool readsAsText(const CRecordIndex &records, const CRecordCodec::Key &key);

    static constexpr const char *kSeemsWrong =
        QT_TRANSLATE_NOOP("CPasswordCheck", "The password seems to be wrong: the document does not read correctly with it.");
    static constexpr const char *kNotOpened =
        QT_TRANSLATE_NOOP("CPasswordCheck", "The document was not opened, because it does not read correctly with this password.");
};
