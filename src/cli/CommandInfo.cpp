#include "CliSession.h"
#include "Commands.h"
#include "Console.h"
#include "doc/RecordMapper.h"

#include <QDateTime>
#include <QStringList>

int runInfo(CCliSession &session)
{
    if (!session.takePasswordOption())
        return CCliSession::kFailure;
    // The plain values need no password; only the header's icons and stamp do.
    CRecordIndex records;
    CRecordCodec::Key key;
    if (!session.readStoredRecords(session.file(0), records, key))
        return CCliSession::kFailure;

    const CRecordView first = records.empty() ? CRecordView{} : records.view(0);
    const bool hasHeader = !records.empty() && CRecordMapper::isHeader(first);
    const QString none = QStringLiteral("-");
    QString rootSort = none;
    QString icons = none;
    QString created = none;
    QString password = none;
    if (hasHeader) {
        const CNoteInfo header = CRecordCodec::read(first, key).info;
        rootSort = QString::number(header.m_nSort);
        QStringList numbers;
        for (qint32 icon : header.m_nIcons)
            numbers.append(QString::number(icon));
        icons = numbers.join(QLatin1Char(' '));
        if (header.m_times[0] != 0)
            created = QDateTime::fromSecsSinceEpoch(header.m_times[0]).toString(Qt::ISODate);
        password = first.m_nRemind > 0 ? QStringLiteral("yes") : QStringLiteral("no");
    }

    QString text;
    text += QStringLiteral("items: %1\n").arg(records.size() - (hasHeader ? 1 : 0));
    text += QStringLiteral("header: %1\n").arg(hasHeader ? QStringLiteral("yes") : QStringLiteral("no"));
    text += QStringLiteral("schema: %1\n").arg(records.empty() ? none : QString::number(first.m_nSchema));
    text += QStringLiteral("password: %1\n").arg(password);
    text += QStringLiteral("root sort: %1\n").arg(rootSort);
    text += QStringLiteral("default icons: %1\n").arg(icons);
    text += QStringLiteral("created: %1\n").arg(created);
    return CConsole::write(text.toUtf8()) ? CCliSession::kSuccess : CCliSession::kFailure;
}
