// Time from a key event's arrival at the window to the command's bytes on
// the player's socket, against a bare write of the same bytes.
#include "benchutil.h"
#include "filebrowser.h"
#include "mywidget.h"
#include "playbackstate.h"
#include "testsupport.h"

#include <QApplication>
#include <QTest>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TempInstall install;
    install.installStubPlayer();
    writeAll(install.file("clip.avi"), "");
    std::signal(SIGCHLD, onChildSignal);
    const int presses = 10000;

    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
        return 1;
    Timings bare;
    char sink[4096];
    for (int i = 0; i < presses; ++i) {
        QElapsedTimer t;
        t.start();
        [[maybe_unused]] ssize_t n = write(pair[0], "seek 10\n", 8);
        bare.add(t.nsecsElapsed());
        [[maybe_unused]] ssize_t r = read(pair[1], sink, sizeof sink);
    }

    Timings keys;
    {
        MyWidget window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window) || !highlight(window.browser(), "clip.avi"))
            return 1;
        QTest::keyClick(window.windowHandle(), Qt::Key_Return);
        if (!playbackState.playing)
            return 1;
        for (int i = 0; i < presses; ++i) {
            QElapsedTimer t;
            t.start();
            QTest::simulateEvent(window.windowHandle(), true, Qt::Key_Up, {}, QString(), false);
            keys.add(t.nsecsElapsed());
            QTest::simulateEvent(window.windowHandle(), false, Qt::Key_Up, {}, QString(), false);
            if (i % 200 == 0)
                QCoreApplication::processEvents(); // let the stub drain its input
        }
        window.stopPlayback();
    }
    std::printf("key press to command bytes on the socket (%d presses):\n", presses);
    std::printf("  bare write         median %7.2f us  worst %9.2f us\n", bare.median(),
                bare.worst());
    std::printf("  Key_Up via window  median %7.2f us  worst %9.2f us   median ratio %.2f\n",
                keys.median(), keys.worst(), keys.median() / bare.median());
    return 0;
}
