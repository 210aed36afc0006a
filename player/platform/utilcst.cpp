#include "utilcst.h"

#include "zpushbutton.h"

#include <QHBoxLayout>
#include <QStyle>

namespace
{
// The phone draws its soft keys from named icons; the desktop shows a
// caption and a stock icon in their place.
ZPushButton* iconButton(const QString& iconName, QWidget* parent)
{
    QString caption = iconName;
    QStyle::StandardPixmap pixmap = QStyle::SP_TitleBarMenuButton;
    if (iconName == QLatin1String("CST_Menu")) {
        caption = QStringLiteral("Menu");
        pixmap = QStyle::SP_TitleBarMenuButton;
    } else if (iconName == QLatin1String("CST_Exit")) {
        caption = QStringLiteral("Exit");
        pixmap = QStyle::SP_DialogCloseButton;
    }
    auto* button = new ZPushButton(caption, parent);
    button->setIcon(button->style()->standardIcon(pixmap));
    button->setObjectName(iconName);
    return button;
}
} // namespace

UTIL_CST::UTIL_CST(QWidget* parent, const QString& midCaption, const QString& leftIcon,
                   const QString& rightIcon)
    : QWidget(parent), left_(iconButton(leftIcon, this)), mid_(new ZPushButton(midCaption, this)),
      right_(iconButton(rightIcon, this))
{
    setObjectName(QStringLiteral("softKeyBar"));
    mid_->setObjectName(QStringLiteral("CST_Mid"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (ZPushButton* b : {left_, mid_, right_}) {
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        layout->addWidget(b, 1);
    }
    setFixedHeight(barHeight);
}
