#include "console.h"
#include "deviceenvironment.h"
#include "displaysleep.h"
#include "keyreader.h"
#include "mywidget.h"
#include "platform/zapplication.h"
#include "playbackstate.h"
#include "shellcommand.h"

#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>

int main(int argc, char** argv)
{
    // Lines on stdout stay in order with the output of the shell commands.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // A reader of our output that goes away (a pipe to a pager or a log)
    // must not end us mid-playback: the stop, and the display's sleep time
    // coming back, would never run.
    std::signal(SIGPIPE, SIG_IGN);
    // Threads the toolkit starts now inherit this mask; the handler passes
    // a signal that reaches a later one on to the event loop's thread.
    sigset_t childSignal;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    pthread_sigmask(SIG_BLOCK, &childSignal, nullptr);
    const int sleepBefore = consoleBlankSeconds();
    prepareDeviceEnvironment(argc, argv);
    // The plain event loop: each wake while a song plays (its clock, the
    // player's answers) costs a third less than through GLib's.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    if (!deviceIsUsable())
        return 1;
    auto app = std::make_unique<ZApplication>(argc, argv, 1);
    const DisplaySleep* displaySleep = DisplaySleep::forFramebuffer(app.get(), sleepBefore);
    // The phone's sleep time is in force from the start, not from the first
    // clip's end: a console's blanking is off from boot on current kernels,
    // and a desktop gets back what a front-end that crashed mid-clip left.
    runShellCommands({"./panelrest -r"});
    // Pads, and on a device the keyboards the owner's keymap changes.
    const KeyReader keys(KeyReader::ownersKeymap(),
                         QGuiApplication::platformName() == QLatin1String("linuxfb"));
    auto window = std::make_unique<MyWidget>(nullptr);
    app->setMainWidget(window.get());
    if (displaySleep)
        QObject::connect(displaySleep, &DisplaySleep::blankedChanged, window.get(),
                         &MyWidget::setDisplayAsleep);
    std::signal(SIGCHLD, onChildSignal);
    pthread_sigmask(SIG_UNBLOCK, &childSignal, nullptr);
    window->show();
    const int status = app->exec();
    // Asked to end while playing (a service manager, a shutdown): the player
    // goes as the stop key ends it, and the phone's sleep time comes back.
    window->endPlayback();
    // The phone's setting as it is now, before the toolkit writes its own
    // 15 minutes on the way out; then it again.
    const int sleepAfter = displaySleep ? consoleBlankSeconds() : -1;
    window.reset();
    app.reset();
    if (sleepAfter >= 0)
        setConsoleBlank(sleepAfter);
    return status;
}
