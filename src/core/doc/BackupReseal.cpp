#include "doc/BackupReseal.h"

#include "crypto/Envelope.h"
#include "doc/Backup.h"
#include "doc/DocumentFile.h"
#include "doc/ItemTables.h"
#include "doc/PasswordCheck.h"
#include "doc/RecordMapper.h"
#include "format/ArchiveReader.h"
#include "format/ArchiveWriter.h"

#include <QBuffer>
#include <QFileInfo>

#include <optional>

namespace {

// The copy's document without password: its own bytes when it has none,
// else decoded with the key and written again in plain. Empty when the key
// does not read it; none when it is no document at all (nothing to seal).
std::optional<QByteArray> plainDocument(const QByteArray &bytes, const CRecordCodec::Key &key, qint32 defaultSort,
                                        qint32 now)
{
    CRecordIndex records;
    if (CArchiveReader::scan(bytes, records) != CArchiveReader::Status::Ok)
        return std::nullopt;
    if (!CRecordMapper::claimsPassword(records))
        return bytes;
    if (key.empty() || CPasswordCheck::judge(records, key) == CPasswordCheck::Verdict::Wrong)
        return QByteArray();
    CItemTables tables;
    CRecordMapper::takeOver(std::move(records), key, defaultSort, now, tables);
    QByteArray plain;
    QBuffer buffer(&plain);
    buffer.open(QIODevice::WriteOnly);
    CArchiveWriter writer(buffer);
    CRecordMapper::write(tables, {}, false, now, writer);
    writer.finish();
    return plain;
}

}  // namespace

CBackupReseal::Outcome CBackupReseal::run(const QString &documentPath, const CBackupSettings &settings,
                                          const CRecordCodec::Key &weakerKey, const CEnvelopeKey &key,
                                          qint32 defaultSort, qint32 now)
{
    Outcome outcome;
    // Every copy of the series, also past a number of versions lowered since.
    for (int version = 0; version < CBackupSettings::kMaxVersions; ++version) {
        const QString copy = CBackupStep::copyName(settings, documentPath, version);
        const QFileInfo info(copy);
        QByteArray bytes;
        if (!info.isFile() || !CDocumentFile::load(copy, bytes).ok || bytes.isEmpty() || CEnvelope::isEnvelope(bytes))
            continue;
        std::optional<QByteArray> read = plainDocument(bytes, weakerKey, defaultSort, now);
        bytes.fill('\0');
        if (!read)
            continue;
        QByteArray plain = std::move(*read);
        if (plain.isEmpty()) {
            outcome.left.append(copy);
            continue;
        }
        const QByteArray sealed = key.seal(plain);
        plain.fill('\0');
        // The copy keeps its date, which the restore list shows.
        if (CDocumentFile::save(copy, sealed, {.lastWrite = info.lastModified(), .modeOf = documentPath}).ok)
            ++outcome.sealed;
        else
            outcome.left.append(copy);
    }
    return outcome;
}
