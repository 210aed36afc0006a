#pragma once

#include <QApplication>

class ZApplication : public QApplication
{
    Q_OBJECT
public:
    // type 1 is a GUI client, the only kind the phone's player is.
    ZApplication(int& argc, char** argv, int type = 1);

    void setMainWidget(QWidget* widget);
    QWidget* mainWidget() const { return mainWidget_; }

public slots:
    void slotQuickQuit();

private:
    QWidget* mainWidget_ = nullptr;
};
