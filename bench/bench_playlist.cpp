// Removing one entry from a 1,000-line playlist, against the shell sequence
// of rm, touch and one echo per kept line on the same file.
#include "benchutil.h"
#include "filebrowser.h"
#include "testsupport.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TempInstall install;
    const QString file = install.file("playlist/default");
    QByteArray content;
    for (int i = 0; i < 1000; ++i)
        content += "/mmc/mmca1/music/track" + QByteArray::number(i) + ".mp3\n";
    const QByteArray path = QFile::encodeName(file);

    Timings shell;
    for (int round = 0; round < 3; ++round) {
        writeAll(file, content);
        QElapsedTimer t;
        t.start();
        QByteArray script = "rm " + path + " -f; touch " + path + " -f";
        for (const QByteArray& line : content.split('\n'))
            if (!line.isEmpty() && line != "/mmc/mmca1/music/track500.mp3")
                script += "\necho " + line + " >> " + path;
        // One system() per command, as the sequence runs them.
        for (const QByteArray& command : script.split('\n'))
            runQuietly(command);
        shell.add(t.nsecsElapsed());
    }

    Timings ours;
    FileBrowser browser(nullptr, "aviBrowser");
    for (int round = 0; round < 20; ++round) {
        writeAll(file, content);
        browser.openPlaylist(QFile::encodeName(file));
        browser.setCurrentRow(500);
        QElapsedTimer t;
        t.start();
        browser.removeFromPlaylist();
        ours.add(t.nsecsElapsed());
    }
    std::printf("remove one entry from a 1,000-line playlist:\n");
    std::printf("  shell sequence     %11.0f us (median of 3)\n", shell.median());
    std::printf("  removeFromPlaylist %11.0f us (median of 20)   shell/ours %.0f\n", ours.median(),
                shell.median() / ours.median());
    return 0;
}
