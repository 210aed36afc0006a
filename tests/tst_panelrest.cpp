#include "capture.h"
#include "console.h"
#include "scanner.h"
#include "sleeppolicy.h"
#include "systemsetting.h"
#include "testsupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <vector>

namespace
{
std::vector<int> calls;
int callResult = 0;
int recordCall(int seconds)
{
    calls.push_back(seconds);
    return callResult;
}

struct Run {
    Captured output;
    int status;
};

Run runTool(const QStringList& args, const QString& config)
{
    std::vector<QByteArray> storage{"panelrest"};
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<const char*> argv;
    for (const QByteArray& s : storage)
        argv.push_back(s.constData());
    argv.push_back(nullptr);
    const QByteArray path = QFile::encodeName(config);
    int status = -1;
    Captured out = captureOutput([&] {
        status = panelrestMain(static_cast<int>(storage.size()), argv.data(), path.constData(),
                               {[] { return 0; }, recordCall});
    });
    return {out, status};
}

int readSetting(const QByteArray& content, QByteArray* out = nullptr)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ezx_system.cfg");
    writeAll(path, content);
    int result = 0;
    const Captured c = captureOutput(
        [&] { result = load_system_setting_lcd_sleep_time(QFile::encodeName(path).constData()); });
    if (out)
        *out = c.out;
    return result;
}
} // namespace

class PanelrestTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir configDir;
    QString config(const QByteArray& content)
    {
        const QString path = configDir.filePath("ezx_system.cfg");
        writeAll(path, content);
        return path;
    }

private slots:
    void init()
    {
        calls.clear();
        callResult = 0;
    }

    void usageWithoutArgumentsAndNoCall()
    {
        const Run run = runTool({}, config("LcdSleepTime = 2\n"));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.output.out,
                 QByteArray("USAGE:panelrest [n] [-r]\n      n:sleep time in seconds:0=never "
                            "sleep;1~10=sleep now,when wakeup like 0;other=seconds\n      "
                            "-r:restore system setting\n\n      "
                            ":::::::::::::::::::::::::::::::::::::::::\n      "
                            "(   -_______________-)~  sooooo weak.....\n"));
        QVERIFY(calls.empty());
    }

    void argumentsAndPolicy_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("setting");
        QTest::addColumn<int>("passed");
        const QByteArray none;
        QTest::newRow("0 never sleeps") << QStringList{"0"} << none << 0;
        QTest::newRow("7 sleeps now") << QStringList{"7"} << none << 10;
        QTest::newRow("1 sleeps now") << QStringList{"1"} << none << 10;
        QTest::newRow("10 sleeps now") << QStringList{"10"} << none << 10;
        QTest::newRow("11 seconds") << QStringList{"11"} << none << 11;
        QTest::newRow("600 seconds") << QStringList{"600"} << none << 600;
        QTest::newRow("abc is ignored") << QStringList{"abc"} << none << 30;
        QTest::newRow("last number wins") << QStringList{"5", "120"} << none << 120;
        QTest::newRow("45s is 45") << QStringList{"45s"} << none << 45;
        QTest::newRow("-r with setting 1") << QStringList{"-r"} << QByteArray("1") << 60;
        QTest::newRow("-r with setting 2") << QStringList{"-r"} << QByteArray("2") << 300;
        QTest::newRow("-r with setting 3") << QStringList{"-r"} << QByteArray("3") << 600;
        QTest::newRow("-r with setting 0") << QStringList{"-r"} << QByteArray("0") << 30;
        QTest::newRow("-r with setting 4") << QStringList{"-r"} << QByteArray("4") << 30;
        QTest::newRow("0 then -r") << QStringList{"0", "-r"} << QByteArray("2") << 300;
        QTest::newRow("-r then 0") << QStringList{"-r", "0"} << QByteArray("2") << 300;
        QTest::newRow("-x cancels -r") << QStringList{"-r", "-x"} << QByteArray("2") << 30;
        QTest::newRow("-5 is an option") << QStringList{"-5"} << none << 30;
        QTest::newRow("-rx restores") << QStringList{"-rx"} << QByteArray("3") << 600;
        QTest::newRow("lone dash") << QStringList{"-"} << none << 30;
        QTest::newRow("empty argument") << QStringList{""} << none << 30;
        QTest::newRow("huge number saturates")
            << QStringList{"99999999999999999999"} << none << 2147483647;
    }

    void argumentsAndPolicy()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, setting);
        QFETCH(int, passed);
        const Run run = runTool(args, config("[SYSTEM]\nLcdSleepTime = " + setting + "\n"));
        QCOMPARE(run.status, 0);
        QCOMPARE(calls, std::vector<int>{passed});
        QCOMPARE(run.output.out, QByteArray::fromStdString(sleepMessage(passed)));
    }

    void messages()
    {
        QCOMPARE(sleepMessage(0), std::string("now the lcd never sleep.\n"));
        QCOMPARE(sleepMessage(10), std::string("the lcd sleep now.\n"));
        QCOMPARE(sleepMessage(11), std::string("set lcd sleep time to 11 seconds.\n"));
        QCOMPARE(clampSleepTime(-4), 0);
    }

    void restoreWithoutConfigFile()
    {
        const Run run = runTool({"-r"}, configDir.filePath("missing.cfg"));
        QCOMPARE(run.output.err, QByteArray("can not open profile: : No such file or directory\n"));
        QCOMPARE(run.output.out, QByteArray("set lcd sleep time to 30 seconds.\n"));
        QCOMPARE(calls, std::vector<int>{30});
    }

    void thousandArguments()
    {
        QStringList args;
        for (int i = 0; i < 1000; ++i)
            args << (i % 3 == 0 ? "-r" : i % 3 == 1 ? "junk" : QString::number(i));
        const Run run = runTool(args, config("LcdSleepTime = 1\n"));
        QCOMPARE(calls, std::vector<int>{60}); // the last option, -r, decides
        QCOMPARE(run.status, 0);
    }

    void readerSettingLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        QTest::newRow("plain") << QByteArray("LcdSleepTime = 2\n") << 2;
        QTest::newRow("leading blanks") << QByteArray("  \t LcdSleepTime = 2\n") << 2;
        QTest::newRow("tab before =") << QByteArray("LcdSleepTime\t= 2\n") << 2;
        QTest::newRow("CRLF") << QByteArray("[a]\r\nLcdSleepTime = 2\r\nX = 1\r\n") << 2;
        QTest::newRow("words before =") << QByteArray("LcdSleepTime value = 3\n") << 3;
        QTest::newRow("key against =") << QByteArray("LcdSleepTime= 2\n") << -1;
        QTest::newRow("lower case key") << QByteArray("lcdsleeptime = 2\n") << -1;
        QTest::newRow("value with letters") << QByteArray("LcdSleepTime = 2abc\n") << 2;
        QTest::newRow("value then words") << QByteArray("LcdSleepTime = 3 minutes\n") << 3;
        QTest::newRow("= at end") << QByteArray("LcdSleepTime =\n") << 0;
        QTest::newRow("= then blanks") << QByteArray("LcdSleepTime =   \n") << 0;
        QTest::newRow("second =") << QByteArray("LcdSleepTime = =\n") << 0;
        QTest::newRow("negative") << QByteArray("LcdSleepTime = -3\n") << -3;
        QTest::newRow("comment with key") << QByteArray("#LcdSleepTime = 2\n") << -1;
        QTest::newRow("blanks then #")
            << QByteArray("  #LcdSleepTime = 2\nLcdSleepTime = 1\n") << 1;
        QTest::newRow("first wins") << QByteArray("LcdSleepTime = 2\nLcdSleepTime = 3\n") << 2;
        QTest::newRow("first wins over malformed")
            << QByteArray("LcdSleepTime = 2\nLcdSleepTime\n") << 2;
        QTest::newRow("other keys") << QByteArray("[SYSTEM]\nVolume = 3\n") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
        QTest::newRow("comments only") << QByteArray("# a\n# b\n") << -1;
        QTest::newRow("no final newline") << QByteArray("LcdSleepTime = 3") << 3;
        QTest::newRow("binary") << QByteArray("\x00\xff\x01LcdSleepTime\n\x7f", 18) << -1;
        QTest::newRow("after a long line") << QByteArray(5000, 'x') + "\nLcdSleepTime = 3\n" << 3;
        QTest::newRow("after a 100 KB line") << QByteArray(100 * 1024, '=') + "\nLcdSleepTime = 1\n"
                                             << 1;
        QTest::newRow("long line of blanks") << QByteArray(3000, ' ') << -1;
        QTest::newRow("line of exactly 1023") << QByteArray(1023, 'y') + "\nLcdSleepTime = 2\n"
                                              << 2;
    }

    void readerSettingLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QByteArray out;
        QCOMPARE(readSetting(content, &out), result);
        QCOMPARE(out, QByteArray());
    }

    void malformedSettingLineReportsItsLineNumber()
    {
        QByteArray out;
        QCOMPARE(readSetting("# one\n# two\n[SYSTEM]\nLcdSleepTime 2\nLcdSleepTime = 3\n", &out),
                 -1);
        QCOMPARE(out, QByteArray("line:4 error:config file format error:unexpected eof\r\n"));
    }

    void directoryAndMissingFile()
    {
        const Captured c = captureOutput([&] {
            QCOMPARE(
                load_system_setting_lcd_sleep_time(QFile::encodeName(configDir.path()).constData()),
                -1);
            QCOMPARE(load_system_setting_lcd_sleep_time("/nonexistent/ezx_system.cfg"), -1);
        });
        QVERIFY(c.err.contains("can not open profile: : No such file or directory\n"));
    }

    void scannerOperations()
    {
        scanner s("  key  = val");
        QCOMPARE(s.getToken(scanner::spacechar), std::string("key"));
        QCOMPARE(s.peek(), ' ');
        QVERIFY(s.goUntil('='));
        QCOMPARE(s.getChar(), '=');
        QCOMPARE(s.getToken(scanner::spacechar), std::string("val"));
        QVERIFY(s.eof());
        QCOMPARE(s.getToken(scanner::spacechar), std::string());
        QVERIFY(!s.goUntil('='));
        QVERIFY(!s.goUntilNot(scanner::spacechar));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, s.getChar());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, s.peek());
        try {
            s.assertNotEof();
        } catch (const std::logic_error& e) {
            QCOMPARE(QByteArray(e.what()),
                     QByteArray("config file format error:unexpected eof\r\n"));
        }
    }

    void formatNeverOverflows()
    {
        const std::string big(5000, 'z');
        QCOMPARE(format("%s", big.c_str()).size(), size_t(1023));
        QCOMPARE(format("a%db", 5), std::string("a5b"));
    }

    void toolEndToEnd()
    {
        const QString tool = qEnvironmentVariable("TARRAGON_BINARY_DIR") + "/sleeptool/panelrest";
        QTemporaryDir dir;
        // No display: the console's blanking timeout is set, here on a file
        // standing in for the console.
        QString console = dir.filePath("console");
        QByteArray errors;
        // readerGone: its output goes to a reader that has gone away.
        auto run = [&](const QStringList& args, bool readerGone = false) {
            writeAll(console, "");
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("DISPLAY");
            env.insert("PANELREST_CONSOLE", console);
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(dir.path());
            if (readerGone)
                p.start("bash",
                        QStringList{"-c", "exec > >(:); sleep 0.3; exec \"$0\" \"$@\"", tool} +
                            args);
            else
                p.start(tool, args);
            p.waitForFinished(10000);
            errors = p.readAllStandardError();
            return std::make_pair(p.exitCode(), p.readAllStandardOutput());
        };
        QCOMPARE(run({}).second.left(24), QByteArray("USAGE:panelrest [n] [-r]"));
        QCOMPARE(readAll(console), QByteArray());
        QCOMPARE(run({"0"}), std::make_pair(0, QByteArray("now the lcd never sleep.\n")));
        QCOMPARE(readAll(console), QByteArray("\033[9;0]"));
        // The phone's own setting, where there is one (30 seconds where not).
        const auto restored = run({"-r"});
        const QRegularExpressionMatch seconds =
            QRegularExpression("^set lcd sleep time to ([0-9]+) seconds.\n$")
                .match(QString::fromLatin1(restored.second));
        QVERIFY2(seconds.hasMatch(), restored.second.constData());
        if (!QFile::exists(systemConfigPath))
            QCOMPARE(seconds.captured(1), QString("30"));
        QCOMPARE(readAll(console),
                 QByteArray::fromStdString(consoleBlankSequence(seconds.captured(1).toInt())));
        // Whole minutes, rounded up, at most the console's 60.
        QCOMPARE(consoleBlankSequence(60), std::string("\033[9;1]"));
        QCOMPARE(consoleBlankSequence(61), std::string("\033[9;2]"));
        QCOMPARE(consoleBlankSequence(600), std::string("\033[9;10]"));
        QCOMPARE(consoleBlankSequence(1000000), std::string("\033[9;60]"));

        // A reader of its output that has gone: it still sets the time.
        QCOMPARE(run({"0"}, true).first, 0);
        QCOMPARE(readAll(console), QByteArray("\033[9;0]"));

        // No console to set it on (an ordinary user away from the console):
        // an error alone, never the success it used to be reported as.
        console = dir.filePath("no such folder/console");
        QCOMPARE(run({"0"}), std::make_pair(1, QByteArray()));
        QVERIFY(errors.contains("could not be set"));
        // A terminal that is no virtual console (a remote one) takes none.
        const int pty = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(pty >= 0 && grantpt(pty) == 0 && unlockpt(pty) == 0);
        QCOMPARE(openVirtualConsole(ptsname(pty)), -1);
        close(pty);
    }
};

QTEST_GUILESS_MAIN(PanelrestTest)
#include "tst_panelrest.moc"
