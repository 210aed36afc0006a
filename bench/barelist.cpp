// The baseline of the device benchmarks: a bare Qt 6 list widget on the
// phone's screen, as small a program as shows a list. With --idle it ends
// when its event loop first waits for input, for counting instructions.
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QListWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QListWidget list;
    for (int i = 0; i < 40; ++i)
        list.addItem(QString::asprintf("clip%02d.avi", i));
    list.resize(240, 320);
    list.show();
    if (QApplication::arguments().contains(QStringLiteral("--idle")))
        QObject::connect(QAbstractEventDispatcher::instance(),
                         &QAbstractEventDispatcher::aboutToBlock, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
