#include "settings/LogFont.h"

#include <QtEndian>

namespace {
// LOGFONTA field offsets.
constexpr int kHeight = 0;
constexpr int kWeight = 16;
constexpr int kItalic = 20;
constexpr int kUnderline = 21;
constexpr int kStrikeOut = 22;
constexpr int kFaceName = 28;
} // namespace

std::optional<CLogFont> CLogFont::fromBytes(const QByteArray &bytes)
{
    if (bytes.size() != kSize)
        return std::nullopt;
    CLogFont f;
    f.raw = bytes;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    f.height = qFromLittleEndian<qint32>(p + kHeight);
    f.weight = qFromLittleEndian<qint32>(p + kWeight);
    f.italic = p[kItalic] != 0;
    f.underline = p[kUnderline] != 0;
    f.strikeOut = p[kStrikeOut] != 0;
    const QByteArray face = bytes.mid(kFaceName, kFaceSize);
    const qsizetype end = face.indexOf('\0');
    f.faceName = end < 0 ? face.left(kFaceSize - 1) : face.left(end);
    return f;
}

QByteArray CLogFont::toBytes() const
{
    QByteArray out = raw.size() == kSize ? raw : QByteArray(kSize, '\0');
    auto *p = reinterpret_cast<uchar *>(out.data());
    qToLittleEndian<qint32>(height, p + kHeight);
    qToLittleEndian<qint32>(weight, p + kWeight);
    p[kItalic] = italic ? 1 : 0;
    p[kUnderline] = underline ? 1 : 0;
    p[kStrikeOut] = strikeOut ? 1 : 0;
    const QByteArray face = faceName.left(kFaceSize - 1);
    for (int i = 0; i < kFaceSize; ++i)
        p[kFaceName + i] = i < face.size() ? uchar(face[i]) : 0;
    return out;
}
