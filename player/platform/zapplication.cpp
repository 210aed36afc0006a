#include "zapplication.h"

#include "signalwake.h"

#include <csignal>
#include <pthread.h>

namespace
{
const SignalWake termination;

void onTermination(int /*signal*/)
{
    termination.notify();
}
} // namespace

ZApplication::ZApplication(int& argc, char** argv, int /*type*/) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("tarragon"));

    // A request to end (the phone shutting down, a service manager, a lost
    // terminal) ends the event loop, and the program ends as it does from
    // the Exit key. Left to the toolkit's framebuffer platform, it would end
    // at once, leaving the console's settings as the toolkit likes them.
    if (!termination.onWake(this, [] { QCoreApplication::quit(); }))
        return;
    struct sigaction action {
    };
    action.sa_handler = onTermination;
    sigemptyset(&action.sa_mask);
    sigset_t requests;
    sigemptyset(&requests);
    for (int request : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(request, &action, nullptr);
        sigaddset(&requests, request);
    }
    pthread_sigmask(SIG_UNBLOCK, &requests, nullptr);
}

void ZApplication::setMainWidget(QWidget* widget)
{
    mainWidget_ = widget;
}

void ZApplication::slotQuickQuit()
{
    quit();
}
