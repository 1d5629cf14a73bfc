#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QCoreApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QDir>
#include <QTest>
#include <QWidget>

#include <functional>
#include <optional>

namespace guitest {

// Runs `step` on the modal window of type T once the event loop of the next
// exec() shows it. Any other window is closed, so that the test fails
// instead of waiting forever.
template <class T>
void whenModalShows(std::function<void(T *)> step)
{
    QTimer::singleShot(0, qApp, [step = std::move(step)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *expected = qobject_cast<T *>(modal))
            step(expected);
        else if (modal)
            modal->close();
    });
}

// Like whenModalShows, for a window that comes after the one being handled
// closes: waits (up to ten seconds) until a modal window of type T is the
// active one instead of closing whatever is active first.
template <class T>
void whenModalShowsNext(std::function<void(T *)> step, int attemptsLeft = 1000)
{
    QTimer::singleShot(10, qApp, [step = std::move(step), attemptsLeft]() mutable {
        if (auto *expected = qobject_cast<T *>(QApplication::activeModalWidget()))
            step(expected);
        else if (attemptsLeft > 0)
            whenModalShowsNext<T>(std::move(step), attemptsLeft - 1);
    });
}

// Keeps a picture of a widget beside the test binaries, for a person to look at.
inline bool saveScreenshot(QWidget &widget, const QString &name)
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    return QDir().mkpath(folder) && widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Types text key by key, as QTest::keyClicks does, but for any character,
// the way a keyboard layout for that language would send it.
inline void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Clicks where a person would: on the box and its label, which in a wide
// layout cell is not the middle of the widget.
inline void clickCheckBox(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect area = box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, area.center());
}

// The characters of Latin-1 only: enough to see a refusal of the others.
inline std::optional<QByteArray> latin1(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
    }
    return text.toLatin1();
}

}  // namespace guitest
