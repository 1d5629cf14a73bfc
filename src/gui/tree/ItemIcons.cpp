#include "tree/ItemIcons.h"

#include "IconTheme.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <memory>

namespace {

// One of our SVG pictures, drawn at whatever size is asked for, so a
// high-DPI screen gets a sharp picture rather than a stretched bitmap.
class CSvgIconEngine : public QIconEngine
{
public:
    explicit CSvgIconEngine(const QString &file) : m_file(file), m_renderer(std::make_shared<QSvgRenderer>(file)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        m_renderer->render(painter, QRectF(rect));
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        // QIcon already passes the size in device pixels; scale only tags the result.
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        }
        QPixmap out = QPixmap::fromImage(image);
        out.setDevicePixelRatio(scale);
        return out;
    }

    bool isNull() override { return !m_renderer->isValid(); }
    QIconEngine *clone() const override { return new CSvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("tqbsvg"); }

private:
    QString m_file;
    std::shared_ptr<QSvgRenderer> m_renderer;
};

// A theme icon, always handed out at exactly the size asked for: a theme
// that lacks that size gives its next larger picture, scaled down smoothly,
// rather than a smaller one that the view would blow up and blur.
class CThemedIconEngine : public QIconEngine
{
public:
    explicit CThemedIconEngine(QIcon themed) : m_themed(std::move(themed)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * dpr, mode, state, dpr));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        QSize source = size;
        const QList<QSize> sizes = m_themed.availableSizes(mode, state);
        if (!sizes.isEmpty()) {
            source = sizes.last();
            for (const QSize &s : sizes) {
                if (s.width() >= size.width() && s.width() < source.width())
                    source = s;
            }
            if (source.width() < size.width())
                source = sizes.last();
        }
        QPixmap out = m_themed.pixmap(source, 1.0, mode, state);
        if (out.size() != size)
            out = out.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        out.setDevicePixelRatio(scale);
        return out;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {}; }
    QIconEngine *clone() const override { return new CThemedIconEngine(m_themed); }
    QString key() const override { return QStringLiteral("tqbthemed"); }

private:
    QIcon m_themed;
};

} // namespace

QIcon CItemIcons::svgIcon(const QString &file)
{
    return QIcon(new CSvgIconEngine(file));
}

QString CItemIcons::themeName(int image)
{
    // Only names whose pictures show that very subject in the common themes;
    // some (the information sign drawn as a bulb, a white house on white)
    // did not, and those stay our own.
    switch (image) {
    case 7: return QStringLiteral("folder");
    case 8: return QStringLiteral("folder-open");
    case 9: return QStringLiteral("text-x-generic");
    case 25: return QStringLiteral("computer");
    case 26: return QStringLiteral("network-workgroup");
    case 27: return QStringLiteral("media-floppy");
    case 28: return QStringLiteral("media-optical");
    case 31: return QStringLiteral("dialog-question");
    case 32: return QStringLiteral("dialog-warning");
    case 44: return QStringLiteral("applications-internet");
    case 57: return QStringLiteral("emote-love");
    default: return {};
    }
}

const CItemIcons &CItemIcons::instance()
{
    static const CItemIcons icons;
    return icons;
}

CItemIcons::CItemIcons()
{
    icontheme::ensure();
    for (int image = 0; image < kCount; ++image) {
        const QString name = themeName(image);
        m_icons[size_t(image)] = (!name.isEmpty() && QIcon::hasThemeIcon(name))
            ? QIcon(new CThemedIconEngine(QIcon::fromTheme(name)))
            : svgIcon(QStringLiteral(":/icons/items/%1.svg").arg(image, 2, 10, QLatin1Char('0')));
    }
}

QIcon CItemIcons::icon(int image) const
{
    if (image < 0 || image >= kCount)
        return {};
    return m_icons[size_t(image)];
}
