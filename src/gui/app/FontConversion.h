#pragma once

#include "settings/LogFont.h"

#include <QFont>

class CCodePage;

// Between a stored LOGFONT and the QFont that shows it. toLogFont keeps the
// fields of `base` a QFont does not describe (character set, precision,
// pitch and family), so the stored form survives a font choice.
namespace fontconv {
QFont toQFont(const CLogFont &logFont, const CCodePage &codePage);
CLogFont toLogFont(const QFont &font, const CCodePage &codePage, const CLogFont &base = {});
} // namespace fontconv
