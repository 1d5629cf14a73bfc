#pragma once

#include "FakePrompter.h"
#include "doc/TorviQuillbookDoc.h"
#include "settings/Settings.h"

#include <QList>
#include <QSettings>
#include <QTemporaryDir>

#include <array>
#include <memory>

// The five default icons as the settings hold them.
inline std::array<qint32, CSettings::kDefIconSlots> storedDefaultIcons(const CSettings &settings)
{
    std::array<qint32, CSettings::kDefIconSlots> icons{};
    for (int slot = 0; slot < CSettings::kDefIconSlots; ++slot)
        icons[size_t(slot)] = settings.number(CSettings::DefIcon, slot);
    return icons;
}

// A document on a throw-away settings file and a scripted prompter.
struct CDocFixture
{
    QTemporaryDir dir;
    std::unique_ptr<QSettings> store;
    std::unique_ptr<CSettings> settings;
    CFakePrompter prompter;
    std::unique_ptr<CTorviQuillbookDoc> doc;

    explicit CDocFixture(const std::function<void(CSettings &)> &configure = {})
    {
        store = std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings = std::make_unique<CSettings>(*store);
        if (configure)
            configure(*settings);
        doc = std::make_unique<CTorviQuillbookDoc>(*settings, prompter);
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    // A root with one child, in tree order.
    void addRootAndChild(const QByteArray &rootText = "root text", const QByteArray &childText = "child text")
    {
        const int root = doc->appendItem("Root", rootText, CItemTables::kRootParent, CNoteInfo{});
        const int child = doc->appendItem("Child", childText, quint32(root) + 2, CNoteInfo{});
        doc->setOrder({quint32(root), quint32(child)});
    }
};

// One item of a document made for a test.
struct CRow
{
    QByteArray title;
    QByteArray text;
    quint32 parent;
    CNoteInfo info = {};
};

// An item's attributes with only its children's sort set.
inline CNoteInfo sortedBy(qint32 sort)
{
    CNoteInfo info;
    info.m_nSort = sort;
    return info;
}

// A document of `rows` (in tree order) saved at `path`, as an earlier
// session left it; the path, or empty when it could not be saved.
inline QString savedDocument(const QString &path, const QList<CRow> &rows)
{
    CDocFixture f;
    for (const CRow &r : rows)
        f.doc->appendToOrder(quint32(f.doc->appendItem(r.title, r.text, r.parent, r.info)));
    return f.doc->saveDocument(path) ? path : QString();
}
