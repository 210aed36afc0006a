#include "xserver.h"

PrivateXServer::PrivateXServer()
{
    // The server picks the free display and names it once it is ready; a
    // display found free beforehand may be taken by another test starting
    // at the same moment, whose server would then answer for ours.
    xvfb_.setProgram("Xvfb");
    xvfb_.setArguments(
        {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp", "-noreset"});
    xvfb_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb_.start();
    if (!xvfb_.waitForStarted(5000))
        return;
    QByteArray number;
    while (!number.endsWith('\n') && xvfb_.waitForReadyRead(10000))
        number += xvfb_.readAll();
    bool isNumber = false;
    number.trimmed().toInt(&isNumber);
    if (!isNumber)
        return;
    display_ = ":" + QString::fromLatin1(number.trimmed());
    ready_ = xvfb_.state() == QProcess::Running;
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
