#include "frontendprocess.h"

#include "testsupport.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTest>

FrontEndProcess::FrontEndProcess(QProcessEnvironment env, const QString& dir, bool readerGoes)
    : env_(env)
{
    env.insert("PWD", dir);
    process_.setProcessEnvironment(env);
    process_.setWorkingDirectory(dir);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setStandardOutputFile(QProcess::nullDevice());
    const QString program = binaryDir() + "/player/tarragon";
    if (readerGoes)
        process_.start("bash", {"-c", "exec \"$0\" > >(head -c 1 >/dev/null) 2>&1", program});
    else
        process_.start(program, {});
    process_.waitForStarted();
}

FrontEndProcess::~FrontEndProcess()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString FrontEndProcess::xdotool(const QStringList& args) const
{
    return runProgram(env_, "xdotool", args);
}

QString FrontEndProcess::window(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (window_.isEmpty() && process_.state() == QProcess::Running) {
        window_ =
            xdotool({"search", "--onlyvisible", "--pid", QString::number(process_.processId())})
                .section('\n', 0, 0);
        if (deadline.hasExpired())
            break;
        if (window_.isEmpty())
            QTest::qWait(100);
    }
    return window_;
}

QRect FrontEndProcess::geometry()
{
    QRect screen(0, 0, 0, 0);
    for (const QString& line : xdotool({"getwindowgeometry", "--shell", window()}).split('\n')) {
        const QString value = line.section('=', 1);
        if (line.startsWith("X="))
            screen.moveLeft(value.toInt());
        else if (line.startsWith("Y="))
            screen.moveTop(value.toInt());
        else if (line.startsWith("WIDTH="))
            screen.setWidth(value.toInt());
        else if (line.startsWith("HEIGHT="))
            screen.setHeight(value.toInt());
    }
    return screen;
}

void FrontEndProcess::type(const QStringList& keys)
{
    // Some servers (a headless compositor's) have no seat to focus with: the
    // window is given the focus, and each key is sent to it.
    xdotool({"windowfocus", window()});
    QTest::qWait(100);
    for (const QString& key : keys) {
        xdotool({"key", "--window", window(), key});
        QTest::qWait(100);
    }
}

bool makeClip(const QString& path, const QString& source, int seconds, bool audio,
              const QStringList& codecs)
{
    QStringList args = {"-loglevel",
                        "error",
                        "-y",
                        "-f",
                        "lavfi",
                        "-i",
                        source + ":duration=" + QString::number(seconds)};
    if (audio)
        args << "-f"
             << "lavfi"
             << "-i" << QString("sine=duration=%1").arg(seconds) << "-shortest";
    args << (codecs.isEmpty() ? QStringList{"-c:a", "mp3", "-c:v", "mpeg4"} : codecs) << path;
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
    ffmpeg.start("ffmpeg", args);
    ffmpeg.waitForFinished(60000);
    return QFileInfo(path).size() > 0;
}
