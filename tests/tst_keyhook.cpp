#include "deviceenvironment.h"
#include "displaysleep.h"
#include "inputtranslator.h"
#include "keymap.h"
#include "platform/phonekeys.h"
#include "platform/zmainwidget.h"

#include "testsupport.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QtTest>

#include <fontconfig/fontconfig.h>
#include <libevdev/libevdev.h>

namespace
{
struct Seen {
    int type;
    int code;
    bool press;
    bool repeat;
};

class HookedWindow : public ZMainWidget
{
public:
    HookedWindow() : ZMainWidget(false, nullptr, nullptr, 0) {}
    bool qwsEvent(WSEvent* event) override
    {
        seen.push_back({event->type, event->keyCode, event->isPress, event->isAutoRepeat});
        return stop;
    }
    std::vector<Seen> seen;
    bool stop = false;
};

// Ignores every key, so Qt hands it on to the parent widgets.
class KeyCounter : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        ++keys;
        e->ignore();
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        ++keys;
        e->ignore();
    }
};
} // namespace

class KeyHookTest : public QObject
{
    Q_OBJECT
private:
    HookedWindow* window = nullptr;
    KeyCounter* child = nullptr;

private slots:
    void init()
    {
        window = new HookedWindow;
        child = new KeyCounter(window);
        window->setContentWidget(child);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        child->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->seen.clear();
    }
    void cleanup() { delete window; }

    void keysArriveAsPhoneCodes_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("phoneCode");
        QTest::newRow("Return is the select key") << int(Qt::Key_Return) << 4101;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 4101;
        QTest::newRow("Left") << int(Qt::Key_Left) << 4114;
        QTest::newRow("Up") << int(Qt::Key_Up) << 4115;
        QTest::newRow("Right") << int(Qt::Key_Right) << 4116;
        QTest::newRow("Down") << int(Qt::Key_Down) << 4117;
        QTest::newRow("PageUp is Prior") << int(Qt::Key_PageUp) << 4118;
        QTest::newRow("PageDown is Next") << int(Qt::Key_PageDown) << 4119;
        QTest::newRow("F2") << int(Qt::Key_F2) << 4145;
        QTest::newRow("F4") << int(Qt::Key_F4) << 4147;
        QTest::newRow("F6") << int(Qt::Key_F6) << 4149;
        QTest::newRow("F12") << int(Qt::Key_F12) << 4155;
        QTest::newRow("letter") << int(Qt::Key_A) << 0x41;
    }

    void keysArriveAsPhoneCodes()
    {
        QFETCH(int, qtKey);
        QFETCH(int, phoneCode);
        QTest::keyClick(window->windowHandle(), Qt::Key(qtKey));
        QCOMPARE(window->seen.size(), size_t(2));
        QCOMPARE(window->seen[0].type, 4);
        QCOMPARE(window->seen[0].code, phoneCode);
        QVERIFY(window->seen[0].press);
        QCOMPARE(window->seen[1].code, phoneCode);
        QVERIFY(!window->seen[1].press);
    }

    void eachEventOnceThoughQtPropagatesIt()
    {
        // An application-wide filter sees each step of the propagation; the
        // hook must still see each press and release once.
        QObject spy;
        qApp->installEventFilter(&spy);
        QTest::keyPress(window->windowHandle(), Qt::Key_Down);
        QTest::keyRelease(window->windowHandle(), Qt::Key_Down);
        qApp->removeEventFilter(&spy);
        QCOMPARE(window->seen.size(), size_t(2));
        QCOMPARE(child->keys, 2);
    }

    void aTrueResultStopsTheEvent()
    {
        window->stop = true;
        QTest::keyClick(window->windowHandle(), Qt::Key_Up);
        QCOMPARE(window->seen.size(), size_t(2));
        QCOMPARE(child->keys, 0);
        window->stop = false;
        QTest::keyClick(window->windowHandle(), Qt::Key_Up);
        QCOMPARE(child->keys, 2);
    }

    void autoRepeatIsReported()
    {
        QTest::simulateEvent(window->windowHandle(), true, Qt::Key_Left, {}, QString(), true);
        QCOMPARE(window->seen.size(), size_t(1));
        QVERIFY(window->seen[0].press);
        QVERIFY(window->seen[0].repeat);
    }

    void mouseButtonsAreNotKeyEvents()
    {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!window->seen.empty());
        for (const Seen& s : window->seen)
            QCOMPARE(s.type, 2);
    }

    void theInputThatWakesTheDisplayDoesNothingElse()
    {
        QTemporaryDir dir;
        const QString setting = dir.filePath("consoleblank");
        writeAll(setting, "1\n");
        std::vector<bool> blanks;
        DisplaySleep sleep(QFile::encodeName(setting), [&](bool b) { blanks.push_back(b); });
        QWindow* w = window->windowHandle();
        // The second of quiet, looked at as often as the wait polls rather
        // than on the timer's next tick.
        auto asleep = [&] {
            QTRY_VERIFY_WITH_TIMEOUT((sleep.check(), sleep.isBlanked()), 5000);
            window->seen.clear();
        };
        auto clicked = [&](QPoint at) {
            QTest::mouseClick(w, Qt::LeftButton, {}, at);
            return window->seen.size() == 2 && window->seen[0].press && !window->seen[1].press;
        };

        // A key: its press and its release.
        asleep();
        QCOMPARE(blanks, std::vector<bool>({true}));
        QTest::keyClick(w, Qt::Key_Return);
        QVERIFY(!sleep.isBlanked());
        QVERIFY(window->seen.empty());
        QTest::keyClick(w, Qt::Key_Down);
        QCOMPARE(window->seen.size(), size_t(2));

        // A tap at a new place: the move there, its press and its release.
        asleep();
        QTest::mouseMove(w, QPoint(20, 20));
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!sleep.isBlanked());
        QVERIFY(window->seen.empty());
        QTest::qWait(300);
        QVERIFY(clicked(QPoint(60, 60)));

        // A move, and then a click of its own that works whole.
        asleep();
        QTest::mouseMove(w, QPoint(30, 30));
        QVERIFY(!sleep.isBlanked());
        QTest::qWait(300);
        QVERIFY(clicked(QPoint(30, 30)));

        // Never, while it says 0: the display lights at once.
        asleep();
        writeAll(setting, "0\n");
        sleep.check();
        QVERIFY(!sleep.isBlanked());
        // And is looked at less often, as it wakes the phone.
        QCOMPARE(sleep.findChild<QTimer*>()->interval(), 5000);
        QCOMPARE(blanks, std::vector<bool>({true, false, true, false, true, false, true, false}));
        // A sleep time that comes back after a film without input counts
        // from its return, not from the last input.
        QTest::qWait(1200);
        writeAll(setting, "1\n");
        sleep.check();
        QVERIFY(!sleep.isBlanked());
        // Looked at again when it is due, not before.
        QVERIFY(std::abs(sleep.findChild<QTimer*>()->interval() - 1000) <= 10);
    }

    void aDeviceSettlesItsEnvironment_data()
    {
        QTest::addColumn<QStringList>("current");
        QTest::addColumn<bool>("udev");
        QTest::addColumn<QStringList>("set");
        const QStringList framebuffer = {"FRAMEBUFFER=/dev/fb0",
                                         "QT_QPA_PLATFORM=linuxfb:fb=/dev/fb0"};
        QTest::newRow("a phone without udev finds its keys and pointer")
            << QStringList() << false
            << framebuffer + QStringList{"QT_QPA_EVDEV_KEYBOARD_PARAMETERS=/dev/input/event0",
                                         "QT_QPA_EVDEV_MOUSE_PARAMETERS=/dev/input/event2:abs",
                                         "QT_QPA_FB_HIDECURSOR=1", "QT_QPA_FB_NO_LIBINPUT=1"};
        QTest::newRow("a display that is not there: the framebuffer next")
            << QStringList{"DISPLAY=:0"} << true
            << QStringList{"FRAMEBUFFER=/dev/fb0", "QT_QPA_PLATFORM=xcb;linuxfb:fb=/dev/fb0",
                           "QT_QPA_FB_HIDECURSOR=1"};
        QTest::newRow("a stale DISPLAY in a Wayland session: Wayland before the framebuffer")
            << QStringList{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"} << true
            << QStringList{"FRAMEBUFFER=/dev/fb0",
                           "QT_QPA_PLATFORM=xcb;wayland;linuxfb:fb=/dev/fb0",
                           "QT_QPA_FB_HIDECURSOR=1"};
        QTest::newRow("Wayland alone: the toolkit chooses")
            << QStringList{"WAYLAND_DISPLAY=wayland-0"} << true << QStringList();
        QTest::newRow("the user's platform stays")
            << QStringList{"QT_QPA_PLATFORM=offscreen", "DISPLAY=:0"} << false
            << QStringList{"QT_QPA_PLATFORM=offscreen"};
        QTest::newRow("FRAMEBUFFER names the toolkit's framebuffer; with udev, inputs its own")
            << QStringList{"FRAMEBUFFER=/dev/fb1"} << true
            << QStringList{"FRAMEBUFFER=/dev/fb1", "QT_QPA_PLATFORM=linuxfb:fb=/dev/fb1",
                           "QT_QPA_FB_HIDECURSOR=1"};
        QTest::newRow("the toolkit's framebuffer is the player's")
            << QStringList{"QT_QPA_PLATFORM=linuxfb:fb=/dev/fb1:size=320x240",
                           "FRAMEBUFFER=/dev/fb0"}
            << true
            << QStringList{"FRAMEBUFFER=/dev/fb1",
                           "QT_QPA_PLATFORM=linuxfb:fb=/dev/fb1:size=320x240",
                           "QT_QPA_FB_HIDECURSOR=1"};
        QTest::newRow("inputs the user named still need no libinput")
            << QStringList{"QT_QPA_EVDEV_KEYBOARD_PARAMETERS=/dev/input/event5"} << false
            << framebuffer + QStringList{"QT_QPA_FB_NO_LIBINPUT=1"};
    }

    void aDeviceSettlesItsEnvironment()
    {
        QFETCH(QStringList, current);
        QFETCH(bool, udev);
        QFETCH(QStringList, set);
        Environment environment;
        for (const QString& variable : current)
            environment.insert(variable.section('=', 0, 0).toLatin1(),
                               variable.section('=', 1).toLatin1());
        const Environment result = deviceEnvironment(environment, udev, [] {
            return QList<InputDevice>{{"/dev/input/event0", InputKind::Keyboard},
                                      {"/dev/input/event2", InputKind::Tablet}};
        });
        QStringList got;
        for (auto it = result.begin(); it != result.end(); ++it)
            got << QString::fromLatin1(it.key() + '=' + it.value());
        got.sort();
        set.sort();
        QCOMPARE(got, set);
    }

    // A device with no screen or no key to read is refused, so its service
    // gives the console back.
    void aDeviceWithoutScreenOrKeysIsRefused_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("screen");
        QTest::addColumn<bool>("keys");
        QTest::addColumn<QByteArray>("refusal");
        QTest::newRow("screen and keys")
            << QByteArray("linuxfb:fb=/dev/fb1") << true << true << QByteArray();
        QTest::newRow("no screen") << QByteArray("linuxfb:fb=/dev/fb1") << false << true
                                   << QByteArray("no framebuffer at /dev/fb1");
        QTest::newRow("no key, only taps")
            << QByteArray("linuxfb:fb=/dev/fb1") << true << false << QByteArray("no keys to read");
        QTest::newRow("a desktop first")
            << QByteArray("xcb;linuxfb:fb=/dev/fb1") << false << false << QByteArray();
    }
    void aDeviceWithoutScreenOrKeysIsRefused()
    {
        QFETCH(QByteArray, platform);
        QFETCH(bool, screen);
        QFETCH(bool, keys);
        QFETCH(QByteArray, refusal);
        QList<InputDevice> inputs{{"/dev/input/event2", InputKind::TouchScreen}};
        if (keys)
            inputs.append({"/dev/input/event0", InputKind::Keyboard});
        const QByteArray given = deviceRefusal(
            {{"QT_QPA_PLATFORM", platform}, {"FRAMEBUFFER", "/dev/fb1"}}, screen, inputs);
        QCOMPARE(given.left(refusal.size()), refusal);
        QCOMPARE(given.isEmpty(), refusal.isEmpty());
    }

    void onlyADeviceTakesItsOwnFonts()
    {
        const QByteArray own = "/usr/lib/tarragon/fonts.conf";
        QCOMPARE(deviceFontConfiguration({}, "linuxfb:fb=/dev/fb1", own), own);
        QCOMPARE(deviceFontConfiguration({}, "eglfs", own), own);
        QCOMPARE(deviceFontConfiguration({}, "xcb;linuxfb:fb=/dev/fb0", own), QByteArray());
        for (const char* users : {"FONTCONFIG_FILE", "FONTCONFIG_PATH"})
            QCOMPARE(deviceFontConfiguration({{users, "/home/phone/fonts"}}, "linuxfb", own),
                     QByteArray());
    }

    void aPlatformOnTheCommandLineIsTheUsers_data()
    {
        QTest::addColumn<QByteArray>("usersFonts");
        QTest::newRow("the device's fonts, beside the program") << QByteArray();
        QTest::newRow("the user's fonts") << QByteArray("/home/phone/fonts.conf");
    }

    void aPlatformOnTheCommandLineIsTheUsers()
    {
        // As the toolkit takes it, over QT_QPA_PLATFORM (offscreen here):
        // the last one, with one dash or two, its framebuffer named for all;
        // on it the device's fonts are loaded, unless the user names theirs.
        QFETCH(QByteArray, usersFonts);
        const QByteArray before = qgetenv("QT_QPA_PLATFORM");
        if (usersFonts.isEmpty())
            qunsetenv("FONTCONFIG_FILE");
        else
            qputenv("FONTCONFIG_FILE", usersFonts);
        FcConfig* fontsBefore = FcConfigReference(nullptr);
        QByteArrayList args{"tarragon", "-platform", "xcb", "--platform", "linuxfb"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                        args[4].data()};
        prepareDeviceEnvironment(5, argv);
        const QByteArray framebuffer = qgetenv("FRAMEBUFFER");
        const QByteArray fonts = qgetenv("FONTCONFIG_FILE");
        const QByteArray shipped =
            QFile::encodeName(QCoreApplication::applicationDirPath() + "/fonts.conf");
        bool loaded = false;
        FcStrList* files = FcConfigGetConfigFiles(nullptr);
        while (const FcChar8* file = FcStrListNext(files))
            loaded = loaded || shipped == reinterpret_cast<const char*>(file);
        FcStrListDone(files);
        FcConfigSetCurrent(fontsBefore);
        FcConfigDestroy(fontsBefore);
        qputenv("QT_QPA_PLATFORM", before);
        qunsetenv("FRAMEBUFFER");
        qunsetenv("FONTCONFIG_FILE");
        QCOMPARE(QByteArray(argv[4]), QByteArray("linuxfb:fb=/dev/fb0"));
        QCOMPARE(framebuffer, QByteArray("/dev/fb0"));
        QVERIFY(QFile::exists(shipped));
        QCOMPARE(fonts, usersFonts.isEmpty() ? shipped : usersFonts);
        QCOMPARE(loaded, usersFonts.isEmpty());
    }

    void inputDevicesAreClassed()
    {
        auto device = [](std::initializer_list<int> events, std::initializer_list<int> keys,
                         std::initializer_list<int> absolute, std::initializer_list<int> relative) {
            InputCapabilities c;
            for (int e : events)
                c.events.set(size_t(e));
            for (int k : keys)
                c.keys.set(size_t(k));
            for (int a : absolute)
                c.absolute.set(size_t(a));
            for (int r : relative)
                c.relative.set(size_t(r));
            return classifyInputDevice(c);
        };
        const InputKind keyboard = device({EV_KEY, EV_REP}, {KEY_A, KEY_ENTER, KEY_F4}, {}, {});
        const InputKind power = device({EV_KEY}, {KEY_POWER}, {}, {});
        const InputKind tablet =
            device({EV_KEY, EV_ABS}, {BTN_LEFT, BTN_RIGHT}, {ABS_X, ABS_Y}, {});
        const InputKind mouse = device({EV_KEY, EV_REL}, {BTN_LEFT}, {}, {REL_X, REL_Y});
        const InputKind touch = device({EV_KEY, EV_ABS}, {BTN_TOUCH}, {ABS_X, ABS_Y}, {});
        const InputKind multiTouch =
            device({EV_ABS}, {}, {ABS_MT_POSITION_X, ABS_MT_POSITION_Y}, {});
        QCOMPARE(keyboard, InputKind::Keyboard);
        QCOMPARE(power, InputKind::Keyboard);
        QCOMPARE(tablet, InputKind::Tablet);
        QCOMPARE(mouse, InputKind::Mouse);
        QCOMPARE(touch, InputKind::TouchScreen);
        QCOMPARE(multiTouch, InputKind::TouchScreen);
        QCOMPARE(device({EV_SW}, {}, {}, {}), InputKind::Other);
        QCOMPARE(device({EV_KEY, EV_ABS}, {BTN_SOUTH, KEY_VOLUMEUP}, {ABS_HAT0X}, {}),
                 InputKind::Pad);
        QCOMPARE(device({EV_KEY, EV_ABS}, {BTN_THUMB}, {ABS_X, ABS_Y}, {}), InputKind::Pad);

        // The emulated phone: a power button, a keyboard and a tablet.
        const EvdevSettings phone = evdevSettings({{"/dev/input/event0", power},
                                                   {"/dev/input/event1", keyboard},
                                                   {"/dev/input/event2", tablet}});
        QCOMPARE(phone.keyboard, QByteArray("/dev/input/event0:/dev/input/event1"));
        QCOMPARE(phone.mouse, QByteArray("/dev/input/event2:abs"));
        QCOMPARE(phone.touchScreen, QByteArray());
        QVERIFY(phone.hideCursor);
        const EvdevSettings desk =
            evdevSettings({{"/dev/input/event3", mouse}, {"/dev/input/event4", touch}});
        QCOMPARE(desk.mouse, QByteArray("/dev/input/event3"));
        QCOMPARE(desk.touchScreen, QByteArray("/dev/input/event4"));
        QVERIFY(!desk.hideCursor);
    }

    // The system's keymap and the user's, "-" for no file; what they map
    // (CODE:KEY, sorted) and the lines they report.
    void theOwnersKeymapIsRead_data()
    {
        QTest::addColumn<QByteArray>("system");
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("errors");
        QTest::newRow("names") << QByteArray("-")
                               << QByteArray("BTN_SOUTH = Key_Enter\n KEY_LEFTCTRL=Key_F4 # A\n"
                                             "BTN_A = Key_F1\nKEY_ESC = none\n")
                               << "BTN_SOUTH:F1 KEY_ESC: KEY_LEFTCTRL:F4"
                               << "";
        QTest::newRow("bad lines") << QByteArray("-")
                                   << QByteArray("KEY_NOPE = Key_Up\nKEY_TAB Key_Up\n\n# c\n"
                                                 "KEY_TAB = Key_Nope\nKEY_TAB = Key_Up = x\n"
                                                 "ABS_X = Key_Up\nKEY_TAB = Key_Up\n")
                                   << "KEY_TAB:Up"
                                   << "user:1 user:2 user:5 user:6 user:7";
        QTest::newRow("user over system") << QByteArray("KEY_TAB = Key_Up\nKEY_SPACE = Key_Dow\n")
                                          << QByteArray("KEY_TAB = Key_F2") << "KEY_TAB:F2"
                                          << "system:2";
        QTest::newRow("no files") << QByteArray("-") << QByteArray("-") << ""
                                  << "";
    }
    void theOwnersKeymapIsRead()
    {
        QFETCH(QByteArray, system);
        QFETCH(QByteArray, user);
        QTemporaryDir dir;
        QList<QByteArray> files;
        for (const auto& [name, text] : {std::pair{"system", system}, std::pair{"user", user}}) {
            files.append(QFile::encodeName(dir.filePath(name)));
            if (text != "-")
                writeAll(dir.filePath(name), text);
        }
        QList<QByteArray> errors;
        const Keymap read = loadKeymaps(files, errors);
        QStringList mapped, reported;
        for (auto it = read.begin(); it != read.end(); ++it)
            mapped << QString(libevdev_event_code_get_name(EV_KEY, unsigned(it.key()))) + ':' +
                          QKeySequence(it.value()).toString();
        for (const QByteArray& error : errors)
            reported << QString(error).section(':', 0, 1).section('/', -1);
        mapped.sort();
        QTEST(mapped.join(' '), "keys");
        QTEST(reported.join(' '), "errors");
    }

    // A device's events, as "K code value" (keys and buttons) and "A axis
    // value", to the phone's keys (+ pressed, - released, * repeated): a
    // pad with a hat, a stick and triggers over 0..255; or a keyboard with
    // a shipped layout.
    void aDevicesEventsArePhoneKeys_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("keys");
        QTest::newRow("press, release") << ""
                                        << "K BTN_SOUTH 1,K BTN_SOUTH 0"
                                        << "+Return -Return";
        QTest::newRow("held once") << ""
                                   << "K BTN_EAST 1,K BTN_EAST 2,K BTN_EAST 2,K BTN_EAST 0"
                                   << "+Back -Back";
        QTest::newRow("unmapped") << ""
                                  << "K BTN_C 1,K BTN_C 0"
                                  << "";
        QTest::newRow("volume key") << ""
                                    << "K KEY_VOLUMEUP 1,K KEY_VOLUMEUP 0"
                                    << "+VolumeUp -VolumeUp";
        QTest::newRow("hat both ways") << ""
                                       << "A HAT0X -1,A HAT0X 0,A HAT0X 1,A HAT0X 0"
                                       << "+Left -Left +Right -Right";
        QTest::newRow("hat across") << ""
                                    << "A HAT0Y -1,A HAT0Y 1,A HAT0Y 0"
                                    << "+Up -Up +Down -Down";
        QTest::newRow("stick over its dead zone and back")
            << ""
            << "A X 128,A X 180,A X 200,A X 170,A X 230,A X 150,A X 100,A X 20"
            << "+Right -Right +Left";
        QTest::newRow("trigger") << ""
                                 << "A Z 200,A Z 210,A Z 50"
                                 << "+F10 -F10";
        QTest::newRow("miyoo A") << "miyoo"
                                 << "K KEY_SPACE 1,K KEY_SPACE 2,K KEY_SPACE 0"
                                 << "+Return *Return -Return";
        QTest::newRow("opendingux Start, arrows") << "opendingux"
                                                  << "K KEY_ENTER 1,K KEY_UP 1"
                                                  << "+F1 +Up";
    }
    void aDevicesEventsArePhoneKeys()
    {
        QFETCH(QString, layout);
        QFETCH(QString, events);
        const bool pad = layout.isEmpty();
        QList<QByteArray> errors;
        const Keymap owners =
            pad ? loadKeymaps({QFile::encodeName(sourceDir() + "/dist/keymaps/pad")}, errors)
                : loadKeymaps({QFile::encodeName(sourceDir() + "/dist/keymaps/" + layout)}, errors);
        QCOMPARE(errors, QList<QByteArray>());
        if (pad) // the shipped pad file is the default, as the manual says
            QCOMPARE(owners, defaultPadLayout());
        const QHash<QString, int> axes{
            {"HAT0X", ABS_HAT0X}, {"HAT0Y", ABS_HAT0Y}, {"X", ABS_X}, {"Z", ABS_Z}};
        std::bitset<ABS_CNT> absolute;
        for (int axis : {ABS_HAT0X, ABS_HAT0Y, ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RZ})
            absolute.set(size_t(axis));
        InputTranslator translator(
            deviceLayout(pad, pad ? Keymap() : owners),
            InputTranslator::padAxes(
                absolute, {},
                [](int code) {
                    const bool hat = code == ABS_HAT0X || code == ABS_HAT0Y;
                    return InputTranslator::Axis{code, hat ? -1 : 0, hat ? 1 : 255};
                }),
            !pad);
        QStringList keys;
        for (const QString& event : events.split(',')) {
            const QStringList part = event.split(' ');
            const bool key = part[0] == "K";
            for (const InputTranslator::Key& k :
                 translator.feed(key ? EV_KEY : EV_ABS,
                                 key ? evdevCodeByName(part[1].toLatin1()) : axes.value(part[1]),
                                 part[2].toInt()))
                keys << QString(k.autoRepeat ? '*'
                                : k.press    ? '+'
                                             : '-') +
                            QKeySequence(k.key).toString().remove(' ');
        }
        QTEST(keys.join(' '), "keys");
    }

    void conversionOutsideTheToolkitRange()
    {
        QCOMPARE(int(phoneKeyCode(Qt::Key_Escape)), 0x1000);
        QCOMPARE(int(phoneKeyCode(0x10FFFF)), 0xFFFF);
        QCOMPARE(int(phoneKeyCode(Qt::Key_unknown)), 0xFFFF);
    }
};

QTEST_MAIN(KeyHookTest)
#include "tst_keyhook.moc"
