#pragma once

#include "app/MainFrame.h"
#include "app/TorviQuillbookApp.h"
#include "doc/TorviQuillbookDoc.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QCoreApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>
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

// The program as a user starts it: its own settings file and, when named,
// a document on the command line.
struct CProgramRun
{
    std::unique_ptr<CTorviQuillbookApp> app;
    CMainFrame *frame = nullptr;

    bool start(const QString &settingsFile, const QString &document = {})
    {
        app = std::make_unique<CTorviQuillbookApp>(std::make_unique<QSettings>(settingsFile, QSettings::IniFormat));
        QStringList args{QStringLiteral("torvi-quillbook")};
        if (!document.isEmpty())
            args.append(document);
        if (!app->startUp(args))
            return false;
        frame = app->mainFrame();
        return true;
    }
    // Shown on the screen (or started minimized, as its settings may say).
    bool shown() const { return QTest::qWaitForWindowExposed(frame) || frame->isMinimized(); }
    // The window the keyboard types into.
    bool activate() const
    {
        frame->activateWindow();
        return QTest::qWaitForWindowActive(frame);
    }
    CTorviQuillbookDoc &doc() const { return app->document(); }
};

// A throw-away folder for a run's settings and documents; a base of its own
// so that it is removed only after the program has closed.
struct CFolder
{
    QTemporaryDir dir;
};

// The program run in a folder of its own, with "app.ini" as its settings.
struct CProgramInFolder : CFolder, CProgramRun
{
    bool start(const QString &document = {}) { return CProgramRun::start(dir.filePath(QStringLiteral("app.ini")), document); }
};

}  // namespace guitest
