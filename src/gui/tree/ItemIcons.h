#pragma once

#include <QIcon>
#include <QString>

#include <array>

// The 60 item icons, in the fixed order documents refer to by number. Each is
// taken from the desktop's icon theme where a freedesktop name fits the
// subject, else from our own SVG pictures (res/icons/items), which read on
// light and dark palettes and stay sharp at any scale.
// Built once and cached by number: views ask per row and must not load per row.
class CItemIcons
{
public:
    static constexpr int kCount = 60;

    static const CItemIcons &instance();

    // The icon of image number image; numbers outside 0..59 give a null icon
    // (callers map them with iconrules::displayImage first).
    QIcon icon(int image) const;
    // The freedesktop name tried first, empty where the picture is our own.
    static QString themeName(int image);
    // One of our SVG files (a resource path) as an icon drawn at any size;
    // its disabled look is faded.
    static QIcon svgIcon(const QString &file);

private:
    CItemIcons();
    std::array<QIcon, kCount> m_icons;
};
