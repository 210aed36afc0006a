#include "popupmenu.h"

#include <QAction>
#include <QMenu>

namespace
{
int nextAutoId = -2;
}

PopupMenu::PopupMenu(QWidget* parent) : QObject(parent), menu_(new QMenu(parent)) {}

PopupMenu::~PopupMenu()
{
    delete menu_;
}

void PopupMenu::insertAction(QAction* action, int id, int index)
{
    const bool append = index < 0 || index >= static_cast<int>(items_.size());
    if (append) {
        menu_->addAction(action);
        items_.push_back({id, action});
    } else {
        menu_->insertAction(items_[static_cast<size_t>(index)].action, action);
        items_.insert(items_.begin() + index, {id, action});
    }
}

int PopupMenu::insertItem(const QString& text, int id, int index)
{
    if (id == -1)
        id = nextAutoId--;
    auto* action = new QAction(text, menu_);
    connect(action, &QAction::triggered, this, [this, action, id] {
        // A checkable action flips itself before we hear of it; the phone's
        // menus leave check marks to the slot that handles the choice.
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        emit activated(id);
    });
    insertAction(action, id, index);
    return id;
}

int PopupMenu::insertItem(const QString& text, PopupMenu* submenu, int id, int index)
{
    if (id == -1)
        id = nextAutoId--;
    QAction* action = submenu->menu()->menuAction();
    action->setText(text);
    insertAction(action, id, index);
    return id;
}

void PopupMenu::insertSeparator(int index)
{
    auto* action = new QAction(menu_);
    action->setSeparator(true);
    insertAction(action, nextAutoId--, index);
}

const PopupMenu::Item* PopupMenu::find(int id) const
{
    for (const Item& item : items_)
        if (item.id == id)
            return &item;
    return nullptr;
}

QAction* PopupMenu::action(int id) const
{
    const Item* item = find(id);
    return item ? item->action : nullptr;
}

void PopupMenu::changeItem(int id, const QString& text)
{
    if (QAction* a = action(id))
        a->setText(text);
}

QString PopupMenu::text(int id) const
{
    const QAction* a = action(id);
    return a ? a->text() : QString();
}

void PopupMenu::setItemChecked(int id, bool checked)
{
    if (QAction* a = action(id)) {
        a->setCheckable(true);
        a->setChecked(checked);
    }
}

bool PopupMenu::isItemChecked(int id) const
{
    const QAction* a = action(id);
    return a && a->isChecked();
}

int PopupMenu::count() const
{
    return static_cast<int>(items_.size());
}

int PopupMenu::idAt(int index) const
{
    if (index < 0 || index >= count())
        return -1;
    return items_[static_cast<size_t>(index)].id;
}

int PopupMenu::indexOf(int id) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].id == id)
            return static_cast<int>(i);
    return -1;
}

void PopupMenu::popupAbove(const QPoint& globalBottomLeft, bool highlightFirst)
{
    const QSize size = menu_->sizeHint();
    menu_->popup(QPoint(globalBottomLeft.x(), globalBottomLeft.y() - size.height()));
    if (!highlightFirst)
        return;
    for (QAction* action : menu_->actions())
        if (!action->isSeparator() && action->isEnabled() && action->isVisible()) {
            menu_->setActiveAction(action);
            break;
        }
}
