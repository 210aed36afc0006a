#include "testsupport.h"

#include "playbackstate.h"
#include "settingsrecord.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <unistd.h>

namespace
{
QByteArray currentDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? QByteArray(buffer) : QByteArray("/");
}

const QByteArray logStub =
    "#!/bin/sh\necho \"./$(basename \"$0\") $*\" >> \"$(dirname \"$0\")/commands.log\"\n";
// Programs run by name go through PATH; the log keeps them by bare name.
const QByteArray pathStub =
    "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> \"$(dirname \"$0\")/../commands.log\"\n";
} // namespace

TempInstall::TempInstall()
    : oldCwd_(currentDirectory()), oldPwd_(qgetenv("PWD")), oldPath_(qgetenv("PATH")),
      hadPwd_(qEnvironmentVariableIsSet("PWD"))
{
    dir_.setAutoRemove(true);
    QDir(dir_.path()).mkdir(QStringLiteral("playlist"));
    QDir(dir_.path()).mkdir(QStringLiteral("bin"));
    writeScript(QStringLiteral("killall"), logStub);
    writeScript(QStringLiteral("panelrest"), logStub);
    writeScript(QStringLiteral("bin/insmod"), pathStub);
    writeScript(QStringLiteral("bin/rmmod"), pathStub);
    const QByteArray dir = QFile::encodeName(dir_.path());
    [[maybe_unused]] int rc = chdir(dir.constData());
    qputenv("PWD", dir);
    qputenv("PATH", dir + "/bin:" + oldPath_);
}

TempInstall::~TempInstall()
{
    [[maybe_unused]] int rc = chdir(oldCwd_.constData());
    if (hadPwd_)
        qputenv("PWD", oldPwd_);
    else
        qunsetenv("PWD");
    qputenv("PATH", oldPath_);
}

void TempInstall::writeScript(const QString& name, const QByteArray& body) const
{
    const QString path = file(name);
    writeAll(path, body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup);
}

QStringList TempInstall::commands() const
{
    const QString log = QString::fromLocal8Bit(readAll(file(QStringLiteral("commands.log"))));
    QStringList lines = log.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TempInstall::clearCommands()
{
    QFile::remove(file(QStringLiteral("commands.log")));
}

void resetFrontEndState()
{
    settingsRecord = SettingsRecord{};
    playbackState.childPid = 0;
    playbackState.playing = false;
    playbackState.fullScreen = false;
    playbackState.focusLost = false;
    playbackState.menuMode = false;
    playbackState.menuDepth = 0;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}
