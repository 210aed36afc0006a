// The baseline of the device benchmark: a bare Qt 6 list widget on the
// phone's screen, as small a program as shows a list.
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
    return QApplication::exec();
}
