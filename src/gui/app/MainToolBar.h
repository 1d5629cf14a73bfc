#pragma once

#include "app/CommandIds.h"

#include <QDialog>
#include <QIcon>
#include <QToolBar>

#include <array>

class CCommandTable;
class CSettings;
class IPrompter;
class QCheckBox;
class QMenu;

// The main window's toolbar: 34 positions (buttons and separators) in a fixed
// order, each of which the user may hide; hidden positions are left out when
// the toolbar is built, that is at the next start.
class CMainToolBar : public QToolBar
{
    Q_OBJECT

public:
    struct Position
    {
        const char *label;  // the check box text of "Customize toolbar"
        int command;        // the command table's id; 0: a separator
    };
    static constexpr int kPositions = 34;
    static const std::array<Position, kPositions> &positions();

    static constexpr int kImageSize = 24;
    static constexpr int kSortButton = cmd::kSortButton;

    // Builds the toolbar from the command table's actions; `sortMenu` is the
    // drop-down of the sort button.
    CMainToolBar(CCommandTable &commands, const CSettings &settings, QMenu *sortMenu, QWidget *parent = nullptr);

    // The sort button's picture: image 13, 22 or 23.
    void setSortImage(int image);
    int sortImage() const { return m_sortImage; }

    // Toolbar image `image` (0..23): normal, hot (QIcon::Active) and disabled.
    static QIcon image(int image);

private:
    CCommandTable &m_commands;
    int m_sortImage = -1;
};

// "Customize toolbar": one check box per position; OK stores the choice,
// which takes effect at the next start.
class CToolbarDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr const char *kCaption = QT_TR_NOOP("Customize toolbar");
    static constexpr const char *kRestartMessage = QT_TR_NOOP("Restart program for update");

    CToolbarDlg(CSettings &settings, IPrompter &prompter, QWidget *parent = nullptr);

    QCheckBox *box(int position) const { return m_boxes[size_t(position)]; }
    void accept() override;

private:
    CSettings &m_settings;
    IPrompter &m_prompter;
    std::array<QCheckBox *, CMainToolBar::kPositions> m_boxes{};
};
