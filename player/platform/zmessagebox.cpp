#include "zmessagebox.h"

#include <QMessageBox>
#include <QPushButton>

int ZMessageBox::information(QWidget* parent, const QPixmap& icon, const QString& text,
                             const QString& button0, const QString& button1, const QString& button2,
                             int /*defaultButton*/)
{
    QMessageBox box(parent);
    box.setObjectName(QStringLiteral("ZMessageBox"));
    box.setWindowTitle(QStringLiteral("Tarragon"));
    box.setIconPixmap(icon);
    box.setText(text);
    QList<QAbstractButton*> buttons;
    for (const QString& caption : {button0, button1, button2})
        if (!caption.isNull())
            buttons.append(box.addButton(caption, QMessageBox::AcceptRole));
    if (buttons.isEmpty())
        buttons.append(box.addButton(QMessageBox::Ok));
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}
