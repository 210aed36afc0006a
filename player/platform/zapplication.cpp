#include "zapplication.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace
{
int terminationPipe[2] = {-1, -1};

void onTermination(int /*signal*/)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(terminationPipe[1], &byte, 1);
}
} // namespace

ZApplication::ZApplication(int& argc, char** argv, int /*type*/) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("tarragon"));

    // A request to end (the phone shutting down, a service manager, a lost
    // terminal) ends the event loop, and the program ends as it does from
    // the Exit key. Left to the toolkit's framebuffer platform, it would end
    // at once, leaving the console's settings as the toolkit likes them.
    if (pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char byte;
        while (read(terminationPipe[0], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });
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
