#pragma once

#include "TestPaths.h"
#include <QByteArray>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <utility>

namespace tqbtest {

// What one run of tqb gave back; exitCode -1 when it did not start, hung or crashed.
struct CRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Runs the built tqb with its own settings file, in `workingDir`, feeding
// `input` to standard input. `extraEnv` adds variables (name, value).
inline CRun run(const QString &workingDir, const QString &settingsFile, const QStringList &args,
                const QByteArray &input = {}, const QList<std::pair<QString, QString>> &extraEnv = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TQB_SETTINGS_FILE"), settingsFile);
    for (const auto &[name, value] : extraEnv)
        env.insert(name, value);
    process.setProcessEnvironment(env);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(testpaths::tqb(), args);
    CRun result;
    if (!process.waitForStarted(30000))
        return result;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// A file's bytes; `ifMissing` when it cannot be read, so that a missing file
// and an empty one can be told apart where that matters.
inline QByteArray fileBytes(const QString &file, const QByteArray &ifMissing = {})
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : ifMissing;
}

// JSON that must parse; a parse error is shown with the text that failed.
inline QJsonObject parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "not JSON:" << error.errorString() << json.left(200);
    return document.object();
}

// One item of a document in tqb's JSON form.
inline QJsonObject item(int parent, const QString &title, const QString &text,
                        const QJsonArray &icons = {0, 1, 2, 3, 4}, int sort = 0, int remind = -1,
                        const QJsonArray &times = {0, 0, 0, 0, 0}, int kind = 0)
{
    return QJsonObject{{"parent", parent}, {"title", title}, {"text", text},     {"icons", icons},
                       {"sort", sort},     {"remind", remind}, {"times", times}, {"kind", kind}};
}

inline QJsonObject header(const QJsonArray &icons, int sort, qint64 created)
{
    return QJsonObject{{"icons", icons}, {"sort", sort}, {"created", created}};
}

// A whole document as from-json reads it; a null header takes the defaults.
inline QByteArray documentJson(const QJsonValue &head, const QJsonArray &items)
{
    return QJsonDocument(QJsonObject{{"format", "tqb-json/1"}, {"header", head}, {"items", items}}).toJson();
}

// Items as indented JSON text, to compare whole or look for a text in.
inline QByteArray asText(const QJsonArray &items)
{
    return QJsonDocument(items).toJson();
}

// One line per item: the named fields joined by `separator`, to compare a
// tree at a glance.
inline QStringList itemLines(const QJsonArray &items, const QStringList &fields, const QString &separator)
{
    QStringList out;
    for (const QJsonValue v : items) {
        QStringList parts;
        for (const QString &field : fields)
            parts << v.toObject().value(field).toVariant().toString();
        out << parts.join(separator);
    }
    return out;
}

// The fixture of every tqb test: a fresh folder per test function with its
// own settings file, tqb run in it, and documents made and read back through
// tqb's JSON form, as a script would.
class CTqbFixture
{
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<std::pair<QString, QString>> m_env;  // added to every run's environment

    // Called from init(): every test function starts in an empty folder.
    bool newFolder()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        return m_dir->isValid();
    }

    // A name in the folder; an absolute path stays as it is.
    QString path(const QString &name) const { return QDir(m_dir->path()).filePath(name); }
    QString settingsFile() const { return path(QStringLiteral("settings.ini")); }

    CRun tqb(const QStringList &args, const QByteArray &input = {}) const
    {
        return run(m_dir->path(), settingsFile(), args, input, m_env);
    }

    // Fails the test (and says false) when the file cannot be written whole.
    bool writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        if (!written)
            QTest::qFail(qPrintable(QStringLiteral("cannot write ") + file.fileName()), __FILE__, __LINE__);
        return written;
    }

    QByteArray readFile(const QString &name, const QByteArray &ifMissing = {}) const
    {
        return fileBytes(path(name), ifMissing);
    }

    static QStringList withOptions(QStringList args, const QByteArray &password, const QString &codePage)
    {
        if (!codePage.isEmpty())
            args << QStringLiteral("--codepage") << codePage;
        if (!password.isNull())
            args << QStringLiteral("--password-stdin");
        return args;
    }

    // from-json of `json` into `out`, enciphered when a password is given;
    // the run's exit code, its message shown when it failed.
    int fromJson(const QByteArray &json, const QString &out, const QByteArray &password = {},
                 const QString &codePage = {}) const
    {
        const QString in = out + QStringLiteral(".in.json");
        if (!writeFile(in, json))
            return -1;
        const CRun done = tqb(withOptions({QStringLiteral("from-json"), path(in), path(out)}, password, codePage),
                              password + '\n');
        if (done.exitCode != 0)
            qWarning() << done.err;
        return done.exitCode;
    }

    CRun toJson(const QString &file, const QByteArray &password = {}, const QString &codePage = {}) const
    {
        return tqb(withOptions({QStringLiteral("to-json"), path(file)}, password, codePage), password + '\n');
    }

    // The items of a document as tqb reads them back; none (and the message
    // shown) when it cannot.
    QJsonArray items(const QString &file, const QByteArray &password = {}) const
    {
        const CRun done = toJson(file, password);
        if (done.exitCode != 0) {
            qWarning() << "to-json failed:" << done.err;
            return {};
        }
        return parse(done.out).value(QStringLiteral("items")).toArray();
    }

    // The items as lines of the named fields, e.g. "1|Title|text".
    QStringList rows(const QString &file, const QStringList &fields, const QString &separator = QStringLiteral("|"),
                     const QByteArray &password = {}) const
    {
        return itemLines(items(file, password), fields, separator);
    }

    QStringList titles(const QString &file, const QByteArray &password = {}) const
    {
        return rows(file, {QStringLiteral("title")}, {}, password);
    }
};

}  // namespace tqbtest
