// Removes the first entry of a playlist through the file browser, again and
// again until it is empty; the kill test ends it at random moments.
#include "filebrowser.h"

#include <QApplication>
#include <QFile>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    FileBrowser browser(nullptr, "aviBrowser");
    const QByteArray playlist(argv[1]);
    browser.openPlaylist(playlist);
    while (browser.count() > 0) {
        browser.setCurrentRow(0);
        browser.removeFromPlaylist();
    }
    return 0;
}
