#include "mywidget.h"
#include "platform/deviceenvironment.h"
#include "platform/displaysleep.h"
#include "platform/zapplication.h"
#include "playbackstate.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>

int main(int argc, char** argv)
{
    // Lines on stdout stay in order with the output of the shell commands.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // Threads the toolkit starts inherit this mask, so SIGCHLD is taken on
    // the event loop's thread, which unblocks it once the handler is in.
    sigset_t childSignal;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    pthread_sigmask(SIG_BLOCK, &childSignal, nullptr);
    const int sleepBefore = DisplaySleep::consoleSetting();
    prepareDeviceEnvironment();
    auto app = std::make_unique<ZApplication>(argc, argv, 1);
    const DisplaySleep* displaySleep = DisplaySleep::forFramebuffer(app.get(), sleepBefore);
    auto window = std::make_unique<MyWidget>(nullptr);
    app->setMainWidget(window.get());
    std::signal(SIGCHLD, onChildSignal);
    pthread_sigmask(SIG_UNBLOCK, &childSignal, nullptr);
    window->show();
    const int status = app->exec();
    const int sleepAfter = displaySleep ? displaySleep->seconds() : -1;
    window.reset();
    app.reset();
    // After the toolkit's own 15 minutes, the phone's setting again.
    DisplaySleep::restoreConsoleSetting(sleepAfter);
    return status;
}
