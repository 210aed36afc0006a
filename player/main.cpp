#include "mywidget.h"
#include "platform/zapplication.h"
#include "playbackstate.h"

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // Lines on stdout stay in order with the output of the shell commands.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    auto app = std::make_unique<ZApplication>(argc, argv, 1);
    auto window = std::make_unique<MyWidget>(nullptr);
    app->setMainWidget(window.get());
    std::signal(SIGCHLD, onChildSignal);
    window->show();
    const int status = app->exec();
    window.reset();
    app.reset();
    return status;
}
