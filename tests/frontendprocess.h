#pragma once

#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// The built front-end as a program of its own, on the X server that env
// names, used as a person uses it: its window found, keys typed into it.
// Whatever still runs when this goes is ended by its id.
class FrontEndProcess
{
public:
    // Starts it in dir, which is its working directory and PWD, forwarding
    // its errors to the test's; or, with readerGoes, its output and errors
    // to a reader that goes away after the first byte.
    FrontEndProcess(QProcessEnvironment env, const QString& dir, bool readerGoes = false);
    ~FrontEndProcess();

    QProcess& process() { return process_; }
    // Its first visible window, waited for; empty when none came.
    QString window(int timeoutMs = 15000);
    // Where that window is on the screen.
    QRect geometry();
    // Focuses the window and types the keys (as xdotool names them), one at
    // a time, as a person would.
    void type(const QStringList& keys);
    QString xdotool(const QStringList& args) const;

private:
    QProcessEnvironment env_;
    QProcess process_;
    QString window_;
};

// Fails the test, naming the tool, unless the program is on the PATH.
#define REQUIRE_TOOL(program)                                                                      \
    QVERIFY2(!QStandardPaths::findExecutable(program).isEmpty(),                                   \
             "this test needs " program ", which is not installed (scripts/install-deps.sh "       \
             "installs it)")

// A clip from one of ffmpeg's generated sources ("testsrc=size=96x72:..."),
// with the sine's sound when audio is true; false when none was made.
// codecs: ffmpeg's codec (and format) arguments, in place of MPEG-4 and MP3.
bool makeClip(const QString& path, const QString& source, int seconds, bool audio,
              const QStringList& codecs = {});
