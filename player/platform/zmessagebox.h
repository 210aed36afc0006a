#pragma once

#include <QString>

class QPixmap;
class QWidget;

class ZMessageBox
{
public:
    // A modal box with one button; returns the index of the button pressed.
    static int information(QWidget* parent, const QPixmap& icon, const QString& text,
                           const QString& button0, const QString& button1, const QString& button2,
                           int defaultButton);
};
