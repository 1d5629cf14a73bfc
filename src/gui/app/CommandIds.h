#pragma once

// The numeric ids of the program's commands, shared by the command table, the
// menus, the toolbar and the tests.
namespace cmd {

enum Id {
    kNew = 57600, kOpen = 57601, kSave = 57603, kSaveAs = 57604, kPrintSetup = 57606, kPrint = 57607,
    kRecentFile = 57616, kCopy = 57634, kCut = 57635, kPaste = 57637, kUndo = 57643, kAbout = 57664,
    kExit = 57665, kHelp = 57670, kNextPane = 57680, kPrevPane = 57681, kToolbarBar = 59392,
    kStatusBar = 59393,
    kPassword = 32772, kInsertNote = 32773, kDelete = 32774, kAddRoot = 32775, kCollapseCmd = 32779,
    kExpandAll = 32778, kRename = 32780, kExpandBranch = 32783, kRightFont = 32784, kFindReplace = 32785,
    kPasteBefore = 32786, kCall = 32787, kMail = 32788, kOpenLink = 32789, kBackupSettings = 32796,
    kRestore = 32797, kImportText = 32799, kLastFile = 32800, kFourSpaces = 32802, kImportCsv = 32809,
    kSortButton = 32810, kSortManual = 32811, kSortAlpha = 32812, kSortFolderFirst = 32814,
    kExecuteAll = 32815, kSelectIcons = 32817, kReminder = 32819, kLocalManual = 32820,
    kLocalAlpha = 32821, kLocalFolderFirst = 32822, kAutoSave = 32823, kRemindersList = 32825,
    kCustomizeToolbar = 32826, kProgramFolder = 32828, kOtherFolder = 32829, kLocalLink = 32831,
    kGenerator = 32832, kImportFavorites = 32834, kDefaultIcons = 32836, kLeftFont = 32837,
    kCompleteCollapse = 32838, kDblU = 32839, kDblM = 32840, kDblF = 32841, kDblP = 32842,
    kSearchAll = 32850, kGoToNote = 32851,
    kExportMarkdown = 32860, kExportHtml = 32861, kExportOpml = 32862, kImportMarkdown = 32863,
    kLockAfter = 32843, kLock = 32844,
};

}  // namespace cmd
