#pragma once

#include <QCoreApplication>

#include "format/RecordCodec.h"
#include "settings/BackupSettings.h"

#include <QString>
#include <QStringList>

class CEnvelopeKey;

// Once a document's protection has become the sealed form, its backup
// copies in a weaker form (no password, or the compatible cipher under the
// key held before) are sealed with the new key: a copy must not keep the
// notes readable that the document now protects. Each stays a document that
// Restore opens with the new password.
class CBackupReseal
{
public:
    struct Outcome
    {
        int sealed = 0;
        // Copies written under a compatible key other than the one held
        // before (an earlier password): they cannot be read to be sealed.
        QStringList left;
    };

    static Outcome run(const QString &documentPath, const CBackupSettings &settings,
                       const CRecordCodec::Key &weakerKey, const CEnvelopeKey &key, qint32 defaultSort, qint32 now);

    static constexpr const char *kSealed =
        QT_TRANSLATE_NOOP("CBackupReseal", "The backup copies of this document were encrypted with the new password as well.");
    static constexpr const char *kLeft =
        QT_TRANSLATE_NOOP("CBackupReseal", "The backup copy %1 was written under an earlier password and could not be encrypted "
                                           "with the new one: it still holds the notes in the weaker form.");
};
