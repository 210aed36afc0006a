#include "menutree.h"

#include "platform/popupmenu.h"
#include "platform/utilcst.h"
#include "platform/zpushbutton.h"
#include "settingsrecord.h"

#include <QMenu>

namespace
{
QString local8(const char* text)
{
    return QString::fromLocal8Bit(text);
}
} // namespace

MenuTree buildMenuTree(UTIL_CST* cst, const SettingsRecord& record)
{
    MenuTree tree;
    MenuTree::ItemIds& ids = tree.ids;
    tree.playlistMenu = new PopupMenu(cst->getMidBtn());
    ids.playlist = tree.playlistMenu->insertItem(local8("Playlist"));
    tree.playlistMenu->insertSeparator();
    ids.fileBrowser = tree.playlistMenu->insertItem(local8("File Browser"));

    PopupMenu* main = tree.mainMenu = new PopupMenu(cst);
    ids.play = main->insertItem(local8("Play  "));
    main->insertSeparator();

    PopupMenu* setting = tree.settingMenu = new PopupMenu(main->menu());
    ids.loop = setting->insertItem(local8("Loop  "));
    ids.fScreen = setting->insertItem(local8("FScreen"));
    ids.silent = setting->insertItem(local8("Silent "));
    ids.oClock = setting->insertItem(local8("OClock"));
    ids.videoFix = setting->insertItem(local8("Video Fix"));
    ids.bassBoost = setting->insertItem(local8("Bass Boost  "));
    SettingsRecord options = record;
    for (int id : {ids.loop, ids.fScreen, ids.silent, ids.oClock, ids.videoFix, ids.bassBoost})
        setting->setItemChecked(id, *settingOption(ids, options, id) != 0);
    main->insertItem(local8("Setting"), setting);

    PopupMenu* scale = tree.scaleMenu = new PopupMenu(main->menu());
    ids.best = scale->insertItem(local8("Best  "));
    ids.average = scale->insertItem(local8("Average"));
    ids.fastest = scale->insertItem(local8("Fastest"));
    for (int id : {ids.best, ids.average, ids.fastest})
        scale->setItemChecked(id, scale->indexOf(id) == record.scaleIndex);
    main->insertItem(local8("Scale Option"), scale);

    PopupMenu* channel = tree.channelMenu = new PopupMenu(main->menu());
    ids.leftChannel = channel->insertItem(local8("Left Channel"));
    ids.rightChannel = channel->insertItem(local8("Right Channel"));
    ids.stereo = channel->insertItem(local8("Stereo   "));
    checkOnly(channel, {ids.leftChannel, ids.rightChannel, ids.stereo}, ids.stereo);
    main->insertItem(local8("Audio Channel"), channel);

    main->insertSeparator();
    ids.addToPlaylist = main->insertItem(local8("Add to Playlist      "));
    main->insertSeparator();
    ids.about = main->insertItem(local8("About"));
    cst->getLeftBtn()->setPopup(main);
    cst->getMidBtn()->setPopup(tree.playlistMenu);
    return tree;
}

std::uint8_t* settingOption(const MenuTree::ItemIds& ids, SettingsRecord& record, int id)
{
    const std::pair<int, std::uint8_t*> options[] = {
        {ids.loop, &record.loop},         {ids.fScreen, &record.fScreen},
        {ids.silent, &record.silent},     {ids.oClock, &record.oClock},
        {ids.videoFix, &record.videoFix}, {ids.bassBoost, &record.bassBoost}};
    for (const auto& [item, option] : options)
        if (item == id)
            return option;
    return nullptr;
}

void checkOnly(PopupMenu* menu, std::initializer_list<int> items, int id)
{
    for (int item : items)
        menu->setItemChecked(item, item == id);
}
