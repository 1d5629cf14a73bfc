#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// A font as the settings "Font" and "FontL" store it: the 60 bytes of a
// Windows LOGFONTA, little-endian. Only the fields a font choice sets are
// read and written; the rest is kept as it was stored, so a value read and
// written back without a change is the same bytes.
struct CLogFont
{
    static constexpr int kSize = 60;
    static constexpr int kFaceSize = 32;  // face name, NUL-terminated
    static constexpr qint32 kWeightNormal = 400;
    static constexpr qint32 kWeightBold = 700;

    qint32 height = 0;   // < 0: character height in pixels; > 0: cell height
    qint32 weight = 0;   // 0 = default, 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QByteArray faceName; // code-page bytes, at most 31

    // The 60 bytes it came from (or zeros); toBytes() writes over them.
    QByteArray raw = QByteArray(kSize, '\0');

    // std::nullopt unless exactly 60 bytes.
    static std::optional<CLogFont> fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;
    // Pixels of the character height (what |height| means either way).
    int pixelHeight() const { return height < 0 ? -height : height; }
};
