#pragma once

#include "CliArguments.h"
#include "CliPrompter.h"
#include "doc/PasswordKey.h"
#include "format/RecordCodec.h"
#include "format/RecordIndex.h"
#include "io/FileStamp.h"
#include "text/CodePage.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CDocumentLock;
class CMappedFile;
class CSettings;
class CTorviQuillbookDoc;
class QSettings;

// What every command of one tqb run shares: the arguments, the settings, the
// code page, the prompter and the password read from standard input.
class CCliSession
{
public:
    enum Exit { kSuccess = 0, kFailure = 1, kUsage = 2 };

    // The INI file named by this variable replaces the user's settings store.
    static constexpr const char *kSettingsVariable = "TQB_SETTINGS_FILE";

    explicit CCliSession(CCliArguments arguments);
    ~CCliSession();

    // Opens the settings and the code page. kSuccess, or the exit code after
    // the problem was reported.
    int open();

    const CCliArguments &args() const { return m_args; }
    const QString &file(int index) const { return m_args.files.at(index); }
    CSettings &settings() { return *m_settings; }
    CCliPrompter &prompter() { return m_prompter; }
    const CCodePage &codePage() const { return m_codePage; }

    std::unique_ptr<CTorviQuillbookDoc> makeDocument();
    // A document for a command that only reads it: its open takes no
    // fingerprint of the file, and it can never save over it.
    std::unique_ptr<CTorviQuillbookDoc> makeReader();

    // Reads one line of standard input as a password. An empty line is no
    // password. Whether it can protect a document is told once the form is
    // known (passwordFor). False after the problem was reported; `what`
    // names the line.
    bool readPassword(const QString &what, CTypedPassword &password);
    // With --password-stdin, reads the password and hands it to the prompter
    // (a document asking for one gets it). False after a reported problem.
    bool takePasswordOption();
    // The password of --password-stdin; empty without it or for an empty line.
    const CTypedPassword &password() const { return m_password; }
    // The bytes of `password` for `form`; false after saying why that form
    // cannot take it (the rules of the compatible cipher).
    static bool passwordFor(const CTypedPassword &password, Protection form, QByteArray &bytes);

    // The records of a file as written, and the key the document's password
    // step settled on for them (empty when the file has no password). A file
    // that asks for a password is refused when none was given or the one
    // given does not read it. An empty file has no records. False after a
    // reported problem.
    bool readRecords(const QString &path, CRecordIndex &records, CRecordCodec::Key &key);
    // The same without needing the password: the key is that of the password
    // given (refused when it does not read the file), else empty, and the
    // enciphered values stay as stored.
    bool readStoredRecords(const QString &path, CRecordIndex &records, CRecordCodec::Key &key);

    static int fail(const QString &message);
    // Whether a file read by this run was cut short by another program while
    // its bytes were mapped: what was read from past its new end was zeros.
    // Said before the result of a read is handed out.
    bool readCutShort() const;
    // Whether a file this run mapped and read was written meanwhile by
    // another program (in place: the bytes read may be of two versions).
    // Checked once the bytes were decoded; forgetReads() before reading again.
    bool readChanged() const;
    void forgetReads();

    // Takes the document's lock, waiting as long as --wait says (default
    // ten seconds). False after saying who holds it.
    bool lockDocument(CDocumentLock &lock);

    // A command's change to a document, applied to the version just read
    // (or to a new document when the file does not exist). Returns kSuccess
    // to save, or an exit code after the problem was reported.
    using Change = std::function<int(CTorviQuillbookDoc &doc)>;
    // Reads the document at `path`, applies `change` and saves, all under
    // the document's lock, so that no other writer's work is lost. When a
    // writer that ignores the lock changed the file meanwhile, the file is
    // read again and the change applied to that version.
    int changeDocument(const QString &path, const Change &change);

private:
    // Replaces an encrypted file's bytes by the document inside, with the
    // password given. False after the problem was reported.
    bool openSealed(QByteArray &bytes);
    // Loads `path` for records that outlive this call: a mapping stays with
    // the records (and this session, which can tell whether it was cut short).
    bool loadFile(const QString &path, QByteArray &bytes, std::shared_ptr<const void> &owner);

    CCliArguments m_args;
    std::unique_ptr<QSettings> m_store;
    std::unique_ptr<CSettings> m_settings;
    CCliPrompter m_prompter;
    CCodePage m_codePage;
    CTypedPassword m_password;
    std::vector<std::weak_ptr<const CMappedFile>> m_mapped;
    std::vector<std::pair<QString, CFileStamp>> m_mappedStamps;  // the files mapped, as they were before the read
};
