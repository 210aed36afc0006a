#pragma once

#include <QProcess>
#include <QString>

// A private Xvfb on a free display, stopped by its id when this goes away.
// -noreset keeps server settings when the last client leaves.
class PrivateXServer
{
public:
    PrivateXServer();
    ~PrivateXServer();
    bool isRunning() const { return ready_; }
    QString display() const { return display_; }
    QProcessEnvironment environment() const;

private:
    QProcess xvfb_;
    QString display_;
    bool ready_ = false;
};
