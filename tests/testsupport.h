#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

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
    // Writes an executable script into the directory.
    void writeScript(const QString& name, const QByteArray& body) const;

private:
    QTemporaryDir dir_;
    QByteArray oldCwd_;
    QByteArray oldPwd_;
    QByteArray oldPath_;
    bool hadPwd_;
};

// Resets the process-wide state the front-end keeps between tests.
void resetFrontEndState();

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& bytes);
