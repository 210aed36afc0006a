#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

// A temporary installation directory the front-end runs in: the working
// directory and PWD point at it, and its stub programs ("./killall",
// "./panelrest", and insmod/rmmod found first on PATH) append the command
// line they were run with to a log instead of doing anything.
class TempInstall
{
public:
    TempInstall();
    ~TempInstall();

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    // Commands run so far, one line each, e.g. "./killall mplayer -9".
    QStringList commands() const;
    void clearCommands();
    // "./mplayer" becomes the stub player of the tests, or the real
    // launcher with the real killall helper.
    void installStubPlayer() const;
    void installRealPlayer() const;
    // What the stub player was started with, and every byte it read.
    QList<QByteArray> playerArguments() const;
    QByteArray playerInput() const;
    // Writes an executable script into the directory.
    void writeScript(const QString& name, const QByteArray& body) const;

private:
    QTemporaryDir dir_;
    QByteArray oldCwd_;
    QByteArray oldPwd_;
    QByteArray oldPath_;
    bool hadPwd_;
};

// Makes dir an installation directory for the front-end run as a program
// of its own: the real mplayer launcher and killall helper, a panelrest
// that logs its arguments to commands.log, a playlist folder, and an
// options record that opens the media folder.
void prepareInstallation(const QString& dir, const QString& media);
// Runs a program to its end in env; what it printed on standard output.
QString runProgram(const QProcessEnvironment& env, const QString& program, const QStringList& args);

// Resets the process-wide state the front-end keeps between tests.
void resetFrontEndState();

QByteArray readAll(const QString& path);
// The build tree and source tree the tests come from.
QString binaryDir();
QString sourceDir();
// Runs a shell command the way the front-end does, with SIGCHLD set aside.
int runQuietly(const QByteArray& command);
// Children of this process that have ended and are not yet collected.
int zombieChildren();
// Descriptors this process has open.
int openDescriptors();
void writeAll(const QString& path, const QByteArray& bytes);
// The same for paths as the file system's bytes, which need not be UTF-8.
bool writeBytes(const QByteArray& path, const QByteArray& bytes);
QByteArray readBytes(const QByteArray& path);
// Everything from the stream's current position to its end; closes it.
QByteArray readStream(FILE* stream);
// The canonical path of a directory, as the file system's bytes.
QByteArray canonical(const QString& path);

class PopupMenu;
class FileBrowser;
// Chooses a menu item the way a user does: by its text.
bool choose(PopupMenu* menu, const QString& text);
// Highlights the browser row showing text; false when there is none.
bool highlight(FileBrowser* browser, const QString& text);
