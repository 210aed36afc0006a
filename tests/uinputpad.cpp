// Inside the emulated phone: a pad with BTN_* buttons and a hat, a separate
// device of volume keys, and a handheld whose buttons send keyboard codes,
// made with uinput; then a walk read from a file, one step a line:
//   CODE [S]      a press and release of that key or button, held S
//                 seconds
//   ABS_HAT0X N   the hat moved to N, then back to the centre
//   shot NAME     "DEVICE-PAD-SHOT WALK-NAME" for the host (WALK the walk
//                 file's name), then a pause for it
//   wait SECONDS  a pause
// The walk begins once the file GO is there: the front-end is up.
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct Device {
    libevdev* dev = libevdev_new();
    libevdev_uinput* input = nullptr;
};

Device make(const char* name, const std::vector<unsigned>& keys, bool hat)
{
    Device device;
    libevdev_set_name(device.dev, name);
    libevdev_enable_event_type(device.dev, EV_KEY);
    for (unsigned key : keys)
        libevdev_enable_event_code(device.dev, EV_KEY, key, nullptr);
    if (hat) {
        const input_absinfo range{0, -1, 1, 0, 0, 0};
        for (unsigned axis : {ABS_HAT0X, ABS_HAT0Y})
            libevdev_enable_event_code(device.dev, EV_ABS, axis, &range);
    }
    if (libevdev_uinput_create_from_device(device.dev, LIBEVDEV_UINPUT_OPEN_MANAGED,
                                           &device.input) != 0)
        std::fprintf(stderr, "uinputpad: %s not made\n", name);
    return device;
}

void pause(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void send(const Device& device, unsigned type, unsigned code, int value)
{
    libevdev_uinput_write_event(device.input, type, code, value);
    libevdev_uinput_write_event(device.input, EV_SYN, SYN_REPORT, 0);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: uinputpad WALK GO\n");
        return 2;
    }
    // The keys first, for a front-end that finds its inputs as it starts;
    // the pad once it is up, as one plugged in.
    std::vector<Device> devices = {
        make("Test volume keys", {KEY_VOLUMEUP, KEY_VOLUMEDOWN, KEY_MUTE, KEY_PLAYPAUSE}, false),
        make("Test handheld",
             {KEY_LEFTCTRL, KEY_LEFTALT, KEY_SPACE, KEY_LEFTSHIFT, KEY_TAB, KEY_BACKSPACE,
              KEY_PAGEUP, KEY_PAGEDOWN, KEY_ESC, KEY_ENTER, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT},
             false),
    };
    std::printf("DEVICE-PAD keys made\n");
    std::fflush(stdout);
    for (int tenths = 0; tenths < 3000 && !std::ifstream(argv[2]); ++tenths)
        pause(0.1);
    const Device pad = make("Test pad",
                            {BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST, BTN_TL, BTN_TR, BTN_TL2,
                             BTN_TR2, BTN_SELECT, BTN_START, BTN_MODE},
                            true);
    devices.insert(devices.begin(), pad);
    std::printf("DEVICE-PAD plugged in\n");
    std::fflush(stdout);
    pause(2);
    std::ifstream walk(argv[1]);
    std::string walkName = argv[1];
    walkName = walkName.substr(walkName.rfind('/') + 1);
    walkName = walkName.substr(0, walkName.find('.'));
    std::string line;
    while (std::getline(walk, line)) {
        std::istringstream words(line);
        std::string word, argument;
        words >> word >> argument;
        if (word.empty() || word[0] == '#')
            continue;
        if (word == "shot") {
            std::printf("DEVICE-PAD-SHOT %s-%s\n", walkName.c_str(), argument.c_str());
            std::fflush(stdout);
            pause(3);
        } else if (word == "wait") {
            pause(std::stod(argument));
        } else if (word.rfind("ABS_", 0) == 0) {
            const int axis = libevdev_event_code_from_name(EV_ABS, word.c_str());
            send(devices[0], EV_ABS, unsigned(axis), std::stoi(argument));
            pause(0.15);
            send(devices[0], EV_ABS, unsigned(axis), 0);
        } else {
            const int code = libevdev_event_code_from_name(EV_KEY, word.c_str());
            for (const Device& device : devices)
                if (code >= 0 && libevdev_has_event_code(device.dev, EV_KEY, unsigned(code))) {
                    send(device, EV_KEY, unsigned(code), 1);
                    pause(argument.empty() ? 0.15 : std::stod(argument));
                    send(device, EV_KEY, unsigned(code), 0);
                    break;
                }
        }
        pause(0.5);
    }
    std::printf("DEVICE-PAD done\n");
    return 0;
}
