#pragma once

#include "format/NoteInfo.h"

#include <QString>
#include <QtGlobal>

#include <array>

class CSettings;

// Which of an item's five icon slots is shown, what a new item starts with,
// and what the "Select icons" dialog and its two commands change. Pure rules:
// the tree passes in what it knows about the item and applies the result.
namespace iconrules {

using IconSet = std::array<qint32, 5>;

inline constexpr int kSlotCount = 5;
inline constexpr int kImageCount = 60;      // images 0..59 of the item image list
inline constexpr qint32 kHeaderIconLimit = 80; // a header icon 0..79 replaces a default

// Slots, in the order CNoteInfo::m_nIcons and the default icons hold them.
inline constexpr int kClosedRoot = 0;
inline constexpr int kOpenedRoot = 1;
inline constexpr int kClosedSubfolder = 2;
inline constexpr int kOpenedSubfolder = 3;
inline constexpr int kNote = 4;

inline constexpr IconSet kBuiltInDefaults{0, 1, 2, 3, 4};

// Tooltip of a slot's tab: "Closed root folder", "Opened root folder",
// "Closed subfolder", "Opened subfolder", "Note"; empty outside 0..4.
QString slotName(int slot);

// An image the item image list holds (0..59).
bool isImageIndex(qint32 value);
// A header record icon that replaces the document's default of its slot (0..79).
bool isHeaderIcon(qint32 value);

// The slot shown for an item in its current role. hasChildren is counted at
// the moment of the call; expanded is what the caller says (Set item icon).
int slotFor(bool isRoot, bool hasChildren, bool expanded);

// An item's effective values: its own value where it is 0 or more, else the
// document default of the slot. info is null when the item's data value is
// not a valid row of m_arInfos; then all five come from the defaults.
IconSet effectiveIcons(const CNoteInfo *info, const IconSet &defaults);

// Set item icon: the image number to give the item (image and selected image
// alike). It is the effective value of the chosen slot, which may lie outside
// the image list (see displayImage).
qint32 itemImage(const CNoteInfo *info, const IconSet &defaults, bool isRoot, bool hasChildren,
                 bool expanded);

// The picture to draw for an image number. Values outside the image list
// (a file may carry any number) are kept in the document but drawn as the
// built-in default picture of the slot, so an item never shows a blank.
int displayImage(qint32 image, int slot);

// Store item, append: the five icon values of a new row. A child copies its
// parent's values as they are (negatives included); a root item, or a child
// whose parent has no valid row (parentInfo null), takes the document defaults.
IconSet newRowIcons(bool isRoot, const CNoteInfo *parentInfo, const IconSet &defaults);

void setIcons(CNoteInfo &info, const IconSet &icons);

// How the dialog is opened by one of the two commands.
struct DialogSetup
{
    IconSet current{};         // the tabs, returned on OK
    IconSet alternative{};     // loaded by "Default" / "As Selected"
    bool defaultsMode = false; // edits the default set: other title and button text, no "Branch"
    bool alternativeEnabled = false;
};

// "Select icons" (32817). selectedInfo: the selected item's row (null when
// nothing is selected or its data value is no valid row). With the current
// item index below 0 the dialog edits the default set, "As Selected" disabled.
DialogSetup selectIconsSetup(int currentItemIndex, const CNoteInfo *selectedInfo,
                             const IconSet &defaults);
// "Icons (default)..." (32836): always the default set; "As Selected" loads the
// selected item's effective values and is enabled while an item is current.
DialogSetup defaultIconsSetup(int currentItemIndex, const CNoteInfo *selectedInfo,
                              const IconSet &defaults);

// What OK in the dialog changes.
struct DialogOutcome
{
    bool storeDefaults = false;  // document defaults = values, and section "DefIcons" written
    bool storeItem = false;      // the selected item's CNoteInfo = values (when its row is valid)
    bool storeBranch = false;    // and every item of its branch, pre-order, selecting each
    bool markModified = false;   // while the current item index is 0 or more
};
DialogOutcome dialogOutcome(const DialogSetup &setup, int currentItemIndex, bool branchTicked);

// Stores values as the document's default icons and writes "DefIcons" "0".."4".
void storeDefaultIcons(IconSet &documentDefaults, CSettings &settings, const IconSet &values);

// The dialog's state, kept out of the widget so its rules can be tested
// headless: the current tab, the five values, the branch flag.
class CIconChoice
{
public:
    explicit CIconChoice(const DialogSetup &setup);

    QString windowTitle() const;            // "Select icons" / "Select default icons"
    QString alternativeButtonText() const;  // "Default" / "As Selected"
    bool alternativeEnabled() const { return m_setup.alternativeEnabled; }
    bool branchEnabled() const { return !m_setup.defaultsMode; }

    int currentTab() const { return m_nTab; }
    void setCurrentTab(int tab);            // ignored outside 0..4

    // A click on image: it goes to the current tab's slot and the next tab
    // (4 wraps to 0) becomes current. Numbers outside the image list are ignored.
    void pick(qint32 image);
    // "Default" / "As Selected": the alternative values replace all five.
    void useAlternative();

    const IconSet &values() const { return m_values; }
    qint32 value(int slot) const;
    bool branch() const { return m_bBranch; }
    void setBranch(bool on) { m_bBranch = on && branchEnabled(); }

private:
    DialogSetup m_setup;
    IconSet m_values;
    int m_nTab = 0;
    bool m_bBranch = false;
};

} // namespace iconrules
