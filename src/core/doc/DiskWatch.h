#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class CTorviQuillbookDoc;

// Watches the document's file for changes by other programs and lets the
// document decide what to do. The folder is watched too: a save by rename
// (ours or another program's) replaces the file the watch was on.
class CDiskWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSettleMs = 300;  // a writer's burst of changes counts once

    explicit CDiskWatch(CTorviQuillbookDoc &doc, QObject *parent = nullptr);

private:
    void follow();  // watch the document's present path

    CTorviQuillbookDoc &m_doc;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_path;
};
