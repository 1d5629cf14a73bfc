#include "tree/IconRules.h"
#include <QCoreApplication>

#include "settings/Settings.h"

namespace iconrules {

QString slotName(int slot)
{
    switch (slot) {
    case kClosedRoot: return QCoreApplication::translate("IconRules", "Closed root folder");
    case kOpenedRoot: return QCoreApplication::translate("IconRules", "Opened root folder");
    case kClosedSubfolder: return QCoreApplication::translate("IconRules", "Closed subfolder");
    case kOpenedSubfolder: return QCoreApplication::translate("IconRules", "Opened subfolder");
    case kNote: return QCoreApplication::translate("IconRules", "Note");
    default: return {};
    }
}

bool isImageIndex(qint32 value)
{
    return value >= 0 && value < kImageCount;
}

bool isHeaderIcon(qint32 value)
{
    return value >= 0 && value < kHeaderIconLimit;
}

int slotFor(bool isRoot, bool hasChildren, bool expanded)
{
    if (!hasChildren)
        return isRoot ? kClosedRoot : kNote;
    if (expanded)
        return isRoot ? kOpenedRoot : kOpenedSubfolder;
    return isRoot ? kClosedRoot : kClosedSubfolder;
}

IconSet effectiveIcons(const CNoteInfo *info, const IconSet &defaults)
{
    IconSet out = defaults;
    if (info) {
        for (int k = 0; k < kSlotCount; ++k) {
            const qint32 own = info->m_nIcons[static_cast<size_t>(k)];
            if (own >= 0)
                out[static_cast<size_t>(k)] = own;
        }
    }
    return out;
}

qint32 itemImage(const CNoteInfo *info, const IconSet &defaults, bool isRoot, bool hasChildren,
                 bool expanded)
{
    const int slot = slotFor(isRoot, hasChildren, expanded);
    return effectiveIcons(info, defaults)[static_cast<size_t>(slot)];
}

int displayImage(qint32 image, int slot)
{
    if (isImageIndex(image))
        return image;
    return (slot >= 0 && slot < kSlotCount) ? kBuiltInDefaults[static_cast<size_t>(slot)] : kNote;
}

IconSet newRowIcons(bool isRoot, const CNoteInfo *parentInfo, const IconSet &defaults)
{
    if (isRoot || !parentInfo)
        return defaults;
    return parentInfo->m_nIcons;
}

void setIcons(CNoteInfo &info, const IconSet &icons)
{
    info.m_nIcons = icons;
}

DialogSetup selectIconsSetup(int currentItemIndex, const CNoteInfo *selectedInfo,
                             const IconSet &defaults)
{
    DialogSetup setup;
    setup.current = effectiveIcons(selectedInfo, defaults);
    setup.alternative = defaults;
    setup.defaultsMode = currentItemIndex < 0;
    setup.alternativeEnabled = currentItemIndex >= 0;
    return setup;
}

DialogSetup defaultIconsSetup(int currentItemIndex, const CNoteInfo *selectedInfo,
                              const IconSet &defaults)
{
    DialogSetup setup;
    setup.current = defaults;
    setup.alternative = effectiveIcons(selectedInfo, defaults);
    setup.defaultsMode = true;
    setup.alternativeEnabled = currentItemIndex >= 0;
    return setup;
}

DialogOutcome dialogOutcome(const DialogSetup &setup, int currentItemIndex, bool branchTicked)
{
    DialogOutcome outcome;
    outcome.storeDefaults = setup.defaultsMode;
    outcome.storeItem = !setup.defaultsMode && currentItemIndex >= 0;
    outcome.storeBranch = outcome.storeItem && branchTicked;
    outcome.markModified = currentItemIndex >= 0;
    return outcome;
}

void storeDefaultIcons(IconSet &documentDefaults, CSettings &settings, const IconSet &values)
{
    documentDefaults = values;
    for (int slot = 0; slot < CSettings::kDefIconSlots; ++slot)
        settings.setNumber(CSettings::DefIcon, values[size_t(slot)], slot);
}

CIconChoice::CIconChoice(const DialogSetup &setup)
    : m_setup(setup), m_values(setup.current)
{
}

QString CIconChoice::windowTitle() const
{
    return m_setup.defaultsMode ? QCoreApplication::translate("IconRules", "Select default icons")
                                : QCoreApplication::translate("IconRules", "Select icons");
}

QString CIconChoice::alternativeButtonText() const
{
    return m_setup.defaultsMode ? QCoreApplication::translate("IconRules", "As Selected") : QCoreApplication::translate("IconRules", "Default");
}

void CIconChoice::setCurrentTab(int tab)
{
    if (tab >= 0 && tab < kSlotCount)
        m_nTab = tab;
}

void CIconChoice::pick(qint32 image)
{
    if (!isImageIndex(image))
        return;
    m_values[static_cast<size_t>(m_nTab)] = image;
    m_nTab = (m_nTab + 1) % kSlotCount;
}

void CIconChoice::useAlternative()
{
    if (m_setup.alternativeEnabled)
        m_values = m_setup.alternative;
}

qint32 CIconChoice::value(int slot) const
{
    return (slot >= 0 && slot < kSlotCount) ? m_values[static_cast<size_t>(slot)] : -1;
}

} // namespace iconrules
