#pragma once

#include "text/SentenceSplit.h"

#include <QString>

// The split of a captured text into a note title and text, as the capture
// dialog and `tqb add` make it.
namespace CaptureSplit {

using SentenceSplit::Parts;
using SentenceSplit::splitAtSentence;
using SentenceSplit::trimText;

struct Result
{
    QString title;
    QString text;
};

// Split text of the capture dialog. With autoTitle off the whole text goes
// into the text. With it on, a text that offers no split point (a short
// phrase without punctuation) also goes whole into the text rather than
// leaving both boxes empty and the capture lost from view.
Result split(const QString &captured, bool autoTitle);

}  // namespace CaptureSplit
