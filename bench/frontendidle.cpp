// The front-end's start-up as its main runs it, to the moment its event
// loop first waits for input: what instructions start-up costs, counted by
// bench_instructions.sh against the bare list widget's.
#include "deviceenvironment.h"
#include "mywidget.h"
#include "platform/zapplication.h"

#include <QAbstractEventDispatcher>

int main(int argc, char** argv)
{
    prepareDeviceEnvironment(argc, argv);
    ZApplication app(argc, argv, 1);
    MyWidget window(nullptr);
    app.setMainWidget(&window);
    window.show();
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     &app, &QCoreApplication::quit);
    return ZApplication::exec();
}
