#include "zmessagebox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

int ZMessageBox::information(QWidget* parent, const QPixmap& icon, const QString& text,
                             const QString& button0, const QString& button1, const QString& button2,
                             int /*defaultButton*/)
{
    QDialog box(parent);
    box.setObjectName(QStringLiteral("ZMessageBox"));
    box.setWindowTitle(QStringLiteral("Tarragon"));
    auto* layout = new QVBoxLayout(&box);
    if (!icon.isNull()) {
        auto* picture = new QLabel(&box);
        picture->setPixmap(icon);
        layout->addWidget(picture, 0, Qt::AlignHCenter);
    }
    auto* label = new QLabel(text, &box);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    layout->addWidget(label);

    auto* buttons = new QDialogButtonBox(&box);
    buttons->setCenterButtons(true);
    int pressed = -1;
    int index = 0;
    for (const QString& caption : {button0, button1, button2}) {
        if (caption.isNull())
            continue;
        QPushButton* button = buttons->addButton(caption, QDialogButtonBox::AcceptRole);
        QObject::connect(button, &QPushButton::clicked, &box, [&pressed, &box, index] {
            pressed = index;
            box.accept();
        });
        ++index;
    }
    if (index == 0)
        QObject::connect(buttons->addButton(QDialogButtonBox::Ok), &QPushButton::clicked, &box,
                         &QDialog::accept);
    layout->addWidget(buttons);

    // As wide as the phone's screen allows, not as the toolkit's own boxes
    // choose on a desktop (half a 240-pixel screen, which cuts the text),
    // and over the middle of it.
    if (parent) {
        const QWidget* screen = parent->window();
        const int width = screen->width() - 20;
        // The wrapped text's height for that width.
        box.setFixedSize(width, layout->totalHeightForWidth(width));
        box.move(screen->mapToGlobal(screen->rect().center()) - box.rect().center());
    }
    box.exec();
    return pressed;
}
