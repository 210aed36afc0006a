#include "testsupport.h"
#include "testmain.h"

#include "filebrowser.h"
#include "platform/popupmenu.h"
#include "playbackstate.h"
#include "settingsrecord.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/wait.h>
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
    // Names that are not valid UTF-8 are beyond QTemporaryDir: the tree goes
    // by its bytes.
    nftw(
        QFile::encodeName(dir_.path()).constData(),
        [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
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
    // childPid keeps the last player: a late SIGCHLD from it must not find 0,
    // which means "in the child" and ends the process.
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

bool writeBytes(const QByteArray& path, const QByteArray& bytes)
{
    FILE* f = std::fopen(path.constData(), "wb");
    if (!f)
        return false;
    const bool ok =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) == size_t(bytes.size());
    return std::fclose(f) == 0 && ok;
}

QByteArray readBytes(const QByteArray& path)
{
    FILE* f = std::fopen(path.constData(), "rb");
    return f ? readStream(f) : QByteArray();
}

QByteArray readStream(FILE* stream)
{
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    std::fclose(stream);
    return bytes;
}

QByteArray canonical(const QString& path)
{
    return QFile::encodeName(QDir(path).canonicalPath());
}

QString runProgram(const QProcessEnvironment& env, const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(20000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString binaryDir()
{
    return qEnvironmentVariable("TARRAGON_BINARY_DIR", QStringLiteral(TARRAGON_DEFAULT_BINARY_DIR));
}

QString sourceDir()
{
    return qEnvironmentVariable("TARRAGON_SOURCE_DIR", QStringLiteral(TARRAGON_DEFAULT_SOURCE_DIR));
}

void prepareInstallation(const QString& dir, const QString& media)
{
    QDir().mkpath(dir + "/playlist");
    for (const char* name : {"mplayer", "killall", "menu.conf"})
        QFile::copy(binaryDir() + "/launcher/" + name, dir + "/" + name);
    writeAll(dir + "/panelrest", logStub);
    for (const char* name : {"mplayer", "killall", "panelrest"})
        QFile::setPermissions(dir + "/" + name,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QByteArray setup(312, '\0');
    const QByteArray folder = QFile::encodeName(media);
    setup.replace(128, folder.size(), folder);
    writeAll(dir + "/setup", setup);
}

void TempInstall::installStubPlayer() const
{
    QFile::remove(file("mplayer"));
    QFile::link(binaryDir() + "/tests/stubplayer", file("mplayer"));
}

void TempInstall::installRealPlayer() const
{
    QFile::copy(binaryDir() + "/launcher/menu.conf", file("menu.conf"));
    for (const char* name : {"mplayer", "killall"}) {
        QFile::remove(file(name));
        QFile::copy(binaryDir() + "/launcher/" + name, file(name));
        QFile::setPermissions(file(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

QList<QByteArray> TempInstall::playerArguments() const
{
    QByteArray bytes = readAll(file("stub-args.log"));
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    return bytes.isEmpty() ? QList<QByteArray>() : bytes.split('\0');
}

QByteArray TempInstall::playerInput() const
{
    return readAll(file("stub-input.log"));
}

int runQuietly(const QByteArray& command)
{
    struct sigaction previous {
    };
    struct sigaction ignore {
    };
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGCHLD, &ignore, &previous);
    const int status = std::system(command.constData());
    sigaction(SIGCHLD, &previous, nullptr);
    return status;
}

int zombieChildren()
{
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    int zombies = 0;
    const QStringList pids = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        const QByteArray stat = readAll("/proc/" + pid + "/stat");
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields[0] == "Z" && fields[1] == self)
            ++zombies;
    }
    return zombies;
}

int openDescriptors()
{
    return static_cast<int>(QDir("/proc/self/fd")
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                .size());
}

bool choose(PopupMenu* menu, const QString& text)
{
    for (QAction* a : menu->menu()->actions())
        if (a->text() == text) {
            a->trigger();
            return true;
        }
    return false;
}

bool highlight(FileBrowser* browser, const QString& text)
{
    for (int i = 0; i < browser->count(); ++i)
        if (browser->item(i)->text() == text) {
            browser->setCurrentRow(i);
            return true;
        }
    return false;
}

int runToTheEnd(int argc, char** argv, int (*tests)(int, char**))
{
    constexpr const char* marker = "TARRAGON_TEST_END_FD";
    if (const char* fd = std::getenv(marker)) {
        const int end = std::atoi(fd);
        unsetenv(marker);
        fcntl(end, F_SETFD, FD_CLOEXEC);
        const int status = tests(argc, argv);
        [[maybe_unused]] const ssize_t written = write(end, "e", 1);
        close(end);
        return status;
    }
    int end[2];
    if (pipe(end) != 0)
        return tests(argc, argv);
    // Executed anew, so that the tests' process has its own id from its
    // start, as the front-end has.
    const pid_t child = fork();
    if (child == 0) {
        close(end[0]);
        setenv(marker, std::to_string(end[1]).c_str(), 1);
        execv("/proc/self/exe", argv);
        _exit(127);
    }
    close(end[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    fcntl(end[0], F_SETFL, O_NONBLOCK);
    char byte = 0;
    const bool reachedTheEnd = read(end[0], &byte, 1) == 1;
    close(end[0]);
    if (!reachedTheEnd) {
        std::printf("FAIL!  : the tests ended before their end (%s %d)\n",
                    WIFEXITED(status) ? "status" : "signal",
                    WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
        return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
