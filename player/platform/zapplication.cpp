#include "zapplication.h"

ZApplication::ZApplication(int& argc, char** argv, int /*type*/) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("tarragon"));
}

void ZApplication::setMainWidget(QWidget* widget)
{
    mainWidget_ = widget;
}

void ZApplication::slotQuickQuit()
{
    quit();
}
