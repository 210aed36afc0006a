#include "xserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

PrivateXServer::PrivateXServer()
{
    int n = 150 + static_cast<int>(QCoreApplication::applicationPid() % 400);
    while (QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)) ||
           QFile::exists(QString("/tmp/.X%1-lock").arg(n)))
        ++n;
    display_ = QString(":%1").arg(n);
    xvfb_.setProgram("Xvfb");
    xvfb_.setArguments({display_, "-screen", "0", "640x480x24", "-nolisten", "tcp", "-noreset"});
    xvfb_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb_.start();
    if (!xvfb_.waitForStarted(5000))
        return;
    for (int i = 0; i < 100 && !ready_; ++i) {
        QProcess probe;
        probe.setProcessEnvironment(environment());
        probe.start("xdpyinfo", {});
        probe.waitForFinished(5000);
        ready_ = probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
        if (!ready_)
            QThread::msleep(100);
    }
}

PrivateXServer::~PrivateXServer()
{
    if (xvfb_.state() != QProcess::NotRunning) {
        xvfb_.terminate();
        if (!xvfb_.waitForFinished(5000)) {
            xvfb_.kill();
            xvfb_.waitForFinished(5000);
        }
    }
}

QProcessEnvironment PrivateXServer::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    return env;
}
