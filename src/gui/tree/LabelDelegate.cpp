#include "tree/LabelDelegate.h"

#include "tree/LeftView.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <functional>

namespace {

using Handle = CInfoTree::Handle;

// A label is one line: line breaks pasted or dropped into it become blanks,
// as in the note pane's title line. What the document's code page cannot
// hold is refused where it is typed or pasted; a byte the page leaves
// undefined, already in the label, is not typed and stays.
class CLabelValidator : public QValidator
{
public:
    using Refusal = std::function<QString(const QString &text)>;
    using Refused = std::function<void(const QString &message)>;
    CLabelValidator(Refusal refusal, Refused refused, QObject *parent)
        : QValidator(parent), m_refusal(std::move(refusal)), m_refused(std::move(refused))
    {
    }
    State validate(QString &input, int &pos) const override
    {
        Q_UNUSED(pos)
        for (QChar &c : input) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                c = QLatin1Char(' ');
        }
        const QString refusal = m_refusal(input);
        if (refusal.isEmpty())
            return Acceptable;
        // Said, as in the note pane: a key that shows nothing looks broken.
        m_refused(refusal);
        return Invalid;
    }

private:
    Refusal m_refusal;
    Refused m_refused;
};

} // namespace

CLabelDelegate::CLabelDelegate(CLeftView *view)
    : QStyledItemDelegate(view), rowHeight(CLeftView::kItemHeight), m_view(view)
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
    editor->setValidator(new CLabelValidator([view = m_view](const QString &text) { return view->labelRefusal(text); },
                                             [view = m_view](const QString &message) { view->labelRefused(message); },
                                             editor));
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
