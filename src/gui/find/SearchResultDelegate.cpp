#include "find/SearchResultDelegate.h"

#include "find/SearchResultsModel.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int kPad = 4;
constexpr int kIcon = 16;
const QString kEllipsis = QStringLiteral("\u2026");

// Draws `text` from `x` on the base line `y` with text[hit.x() .. +hit.y()]
// in bold, cut off with an ellipsis at `right`.
void drawWithHit(QPainter *p, int x, int y, int right, const QString &text, QPoint hit, const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    const qsizetype start = std::clamp<qsizetype>(hit.x(), 0, text.size());
    const qsizetype length = std::clamp<qsizetype>(hit.y(), 0, text.size() - start);
    QString parts[3] = {text.left(start), text.mid(start, length), text.mid(start + length)};
    // In a narrow pane the words before the hit give way (cut on the left)
    // so that the hit itself stays in view.
    const int lead = (right - x) / 3;
    const QFontMetrics plain(font);
    if (length > 0 && plain.horizontalAdvance(parts[0]) > lead)
        parts[0] = plain.elidedText(parts[0], Qt::ElideLeft, lead);
    for (int i = 0; i < 3 && x < right; ++i) {
        if (parts[i].isEmpty())
            continue;
        const QFont &f = i == 1 ? bold : font;
        const QFontMetrics fm(f);
        p->setFont(f);
        const int width = fm.horizontalAdvance(parts[i]);
        if (x + width <= right) {
            p->drawText(x, y, parts[i]);
            x += width;
        } else {
            p->drawText(x, y, fm.elidedText(parts[i], Qt::ElideRight, right - x));
            break;
        }
    }
    p->setFont(font);
}

}  // namespace

QSize CSearchResultDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const QFontMetrics fm(option.font);
    return {200, 3 * fm.height() + 2 * kPad};
}

void CSearchResultDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // The background and selection as the style draws them, without its text.
    opt.text.clear();
    opt.icon = QIcon();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QColor text = opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    QColor dim = text;
    dim.setAlphaF(0.55f);
    const QFontMetrics fm(opt.font);
    const QRect r = opt.rect.adjusted(kPad, kPad, -kPad, -kPad);
    const int line = fm.height();
    const int textLeft = r.left() + kIcon + kPad;

    const QIcon icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
    if (!icon.isNull())
        icon.paint(painter, QRect(r.left(), r.top() + (line - kIcon) / 2, kIcon, kIcon));

    painter->setPen(text);
    drawWithHit(painter, textLeft, r.top() + fm.ascent(), r.right(), index.data(Qt::DisplayRole).toString(),
                index.data(CSearchResultsModel::TitleHitRole).toPoint(), opt.font);

    painter->setPen(dim);
    painter->setFont(opt.font);
    const QString path = index.data(CSearchResultsModel::PathRole).toString();
    painter->drawText(textLeft, r.top() + line + fm.ascent(),
                      fm.elidedText(path, Qt::ElideMiddle, std::max(0, r.right() - textLeft)));

    painter->setPen(text);
    QString context = index.data(CSearchResultsModel::ContextRole).toString();
    QPoint hit = index.data(CSearchResultsModel::ContextHitRole).toPoint();
    const QPoint cut = index.data(CSearchResultsModel::ContextCutRole).toPoint();
    if (cut.x()) {
        context.prepend(kEllipsis);
        hit.rx() += int(kEllipsis.size());
    }
    if (cut.y())
        context.append(kEllipsis);
    drawWithHit(painter, textLeft, r.top() + 2 * line + fm.ascent(), r.right(), context, hit, opt.font);
    painter->restore();
}
