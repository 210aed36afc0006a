#include "mywidget.h"
#include "testsupport.h"

#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QTextLayout>
#include <QtTest>

// The device's own font configuration, lean as it is: the system's default
// face, and every glyph the screens show found in some face.
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
    }
};

int main(int argc, char** argv)
{
    qputenv("FONTCONFIG_FILE", QFile::encodeName(sourceDir() + "/dist/fonts.conf"));
    QApplication app(argc, argv);
    FontsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fonts.moc"
