// Start-up of the main window to its first showing with the start directory
// listed, against a bare list widget; and listing 10,000 entries against
// QDir::entryList alone.
#include "benchutil.h"
#include "filebrowser.h"
#include "mywidget.h"
#include "settingsrecord.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTest>

#include <cstring>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TempInstall install;
    const QString media = install.file("media");
    QDir().mkpath(media);
    for (int i = 0; i < 10000; ++i)
        writeAll(media + QString::asprintf("/clip%05d.mp3", i), "");
    QByteArray setup(312, '\0');
    const QByteArray dir = QFile::encodeName(install.file("small"));
    QDir().mkpath(install.file("small"));
    for (int i = 0; i < 40; ++i)
        writeAll(install.file("small") + QString::asprintf("/clip%02d.avi", i), "");
    std::memcpy(setup.data() + 128, dir.constData(), size_t(dir.size()));
    writeAll(install.file("setup"), setup);

    const int rounds = 30;
    Timings bare, front;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        {
            QListWidget list;
            list.addItems(QDir(install.file("small")).entryList());
            list.show();
            if (!QTest::qWaitForWindowExposed(&list))
                return 1;
            bare.add(t.nsecsElapsed());
        }
        settingsRecord = SettingsRecord{};
        t.restart();
        {
            MyWidget window;
            window.show();
            if (!QTest::qWaitForWindowExposed(&window))
                return 1;
            front.add(t.nsecsElapsed());
        }
    }
    std::printf("start-up to first shown window (median of %d, offscreen):\n", rounds);
    std::printf("  bare list widget   %9.0f us\n", bare.median());
    std::printf("  tarragon           %9.0f us   ratio %.2f\n", front.median(),
                front.median() / bare.median());

    Timings entryList, listing;
    FileBrowser browser(nullptr, "aviBrowser");
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer t;
        t.start();
        const QStringList entries =
            QDir(media, QString::fromLatin1(FileBrowser::mediaFilter), QDir::Name | QDir::DirsFirst,
                 QDir::Dirs | QDir::Files | QDir::Drives | QDir::AllDirs)
                .entryList();
        entryList.add(t.nsecsElapsed());
        if (entries.size() < 10000)
            return 1;
        t.restart();
        browser.listDirectory(media);
        listing.add(t.nsecsElapsed());
    }
    std::printf("listing a directory of 10,000 entries (median of 10):\n");
    std::printf("  QDir::entryList    %9.0f us\n", entryList.median());
    std::printf("  listDirectory      %9.0f us   ratio %.2f\n", listing.median(),
                listing.median() / entryList.median());
    return 0;
}
