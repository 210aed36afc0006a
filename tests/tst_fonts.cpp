#include "deviceenvironment.h"
#include "mywidget.h"
#include "testsupport.h"

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QTextLayout>
#include <QtTest>

// The device's own font configuration, lean as it is and started as a
// device starts it: the system's default face, and every glyph the screens
// show found in some face.
class FontsTest : public QObject
{
    Q_OBJECT
private slots:
    void theScreensFindEveryGlyph()
    {
        QCOMPARE(QFontInfo(QApplication::font()).family(), QString("DejaVu Sans"));
        QTextLayout layout(MyWidget::aboutText() + "确定 Привет.avi", QApplication::font());
        layout.beginLayout();
        while (layout.createLine().isValid()) {
        }
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns())
            QVERIFY2(!run.glyphIndexes().contains(0), qPrintable(run.rawFont().familyName()));
        // Started on the lean file alone: no other configuration read.
        FcConfigFileInfoIter files;
        FcConfigFileInfoIterInit(nullptr, &files);
        QStringList read;
        do {
            FcChar8* name = nullptr;
            if (FcConfigFileInfoIterGet(nullptr, &files, &name, nullptr, nullptr))
                read << QFile::decodeName(reinterpret_cast<const char*>(name));
            FcStrFree(name);
        } while (FcConfigFileInfoIterNext(nullptr, &files));
        QCOMPARE(read,
                 QStringList(QFileInfo(sourceDir() + "/dist/fonts.conf").canonicalFilePath()));
    }
};

int main(int argc, char** argv)
{
    qputenv("FONTCONFIG_FILE", QFile::encodeName(sourceDir() + "/dist/fonts.conf"));
    loadFontConfiguration();
    QApplication app(argc, argv);
    FontsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fonts.moc"
