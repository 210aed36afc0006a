#pragma once

#include <QWidget>

class ZPushButton;

// The soft-key bar: left, middle and right keys along the bottom of the screen.
class UTIL_CST : public QWidget
{
    Q_OBJECT
public:
    static constexpr int barHeight = 80;

    UTIL_CST(QWidget* parent, const QString& midCaption, const QString& leftIcon,
             const QString& rightIcon);

    ZPushButton* getLeftBtn() const { return left_; }
    ZPushButton* getMidBtn() const { return mid_; }
    ZPushButton* getRightBtn() const { return right_; }

private:
    ZPushButton* left_;
    ZPushButton* mid_;
    ZPushButton* right_;
};
