#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

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
    process.start(QStringLiteral(TQB_BINARY), args);
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

}  // namespace tqbtest
