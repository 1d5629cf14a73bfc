#include "app/FontConversion.h"

#include "text/CodePage.h"

namespace fontconv {

QFont toQFont(const CLogFont &logFont, const CCodePage &codePage)
{
    QFont font;
    const QString face = codePage.toUnicode(logFont.faceName);
    if (!face.isEmpty())
        font.setFamilies({face});
    if (logFont.pixelHeight() > 0)
        font.setPixelSize(logFont.pixelHeight());
    if (logFont.weight > 0)
        font.setWeight(QFont::Weight(qBound(1, int(logFont.weight), 1000)));
    font.setItalic(logFont.italic);
    font.setUnderline(logFont.underline);
    font.setStrikeOut(logFont.strikeOut);
    return font;
}

CLogFont toLogFont(const QFont &font, const CCodePage &codePage, const CLogFont &base)
{
    CLogFont out = base;
    // A negative height is the character height, as a font dialog stores it.
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : qRound(font.pointSizeF() * 96.0 / 72.0);
    out.height = -qMax(1, pixels);
    out.weight = font.weight();
    out.italic = font.italic();
    out.underline = font.underline();
    out.strikeOut = font.strikeOut();
    out.faceName = codePage.fromUnicode(font.family()).value_or(QByteArray()).left(CLogFont::kFaceSize - 1);
    return out;
}

} // namespace fontconv
