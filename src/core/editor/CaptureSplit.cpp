#include "editor/CaptureSplit.h"

CaptureSplit::Result CaptureSplit::split(const QString &captured, bool autoTitle)
{
    Result out;
    if (captured.isEmpty())
        return out;
    if (autoTitle) {
        const Parts<QString> parts = splitAtSentence(captured);
        if (parts.position >= 0) {
            out.title = parts.title;
            out.text = parts.text;
            return out;
        }
    }
    out.text = trimText(captured);
    return out;
}
