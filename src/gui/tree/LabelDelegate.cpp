#include "tree/LabelDelegate.h"

#include "text/CodePage.h"
#include "tree/LeftView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <functional>

namespace {

using Handle = CInfoTree::Handle;

// A label is one line: line breaks pasted or dropped into it become blanks,
// as in the note pane's title line. What the document's code page cannot
// hold is refused where it is typed or pasted.
class CLabelValidator : public QValidator
{
public:
    using Refusal = std::function<void(const QString &message)>;
    CLabelValidator(const CCodePage &codePage, Refusal refused, QObject *parent)
        : QValidator(parent), m_codePage(codePage), m_refused(std::move(refused))
    {
    }
    State validate(QString &input, int &pos) const override
    {
        Q_UNUSED(pos)
        for (QChar &c : input) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                c = QLatin1Char(' ');
        }
        const qsizetype bad = m_codePage.firstUnmappable(input);
        if (bad < 0)
            return Acceptable;
        // Said, as in the note pane: a key that shows nothing looks broken.
        m_refused(m_codePage.unmappableMessage(input, bad));
        return Invalid;
    }

private:
    const CCodePage &m_codePage;
    Refusal m_refused;
};

} // namespace

CLabelDelegate::CLabelDelegate(CLeftView *view, const CCodePage &codePage)
    : QStyledItemDelegate(view), rowHeight(CLeftView::kItemHeight), m_view(view), m_codePage(codePage)
{
}

QSize CLabelDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(rowHeight);
    return size;
}

QWidget *CLabelDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(true);
    editor->setValidator(new CLabelValidator(
        m_codePage, [view = m_view](const QString &message) { view->labelRefused(message); }, editor));
    m_view->editorCreated(editor);
    return editor;
}

void CLabelDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // Only when the editor opens: the view asks again whenever the row's
    // data changes (an icon, a child added), which must not throw away
    // what the user has typed.
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line || line->property(kFilled).toBool())
        return;
    line->setProperty(kFilled, true);
    line->setText(index.data(Qt::EditRole).toString());
    line->selectAll();
}

void CLabelDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        m_view->editorCommitted(line->text());
}

void CLabelDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const Handle item = m_view->handleAt(index);
    if (item != CInfoTree::kNone && item == m_view->infoTree().model().dropHighlight())
        option->state |= QStyle::State_Selected;
}

bool CLabelDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *line = qobject_cast<QLineEdit *>(object);
        auto *key = static_cast<QKeyEvent *>(event);
        if (line && m_view->editorKey(line, key->key(), key->modifiers()))
            return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
