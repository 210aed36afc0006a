#pragma once

// The phone's system configuration file and its display-sleep key.
constexpr const char* systemConfigPath = "/ezxlocal/download/appwrite/setup/ezx_system.cfg";

// The value of the first LcdSleepTime setting line of the file; -1 when the
// file cannot be opened, has no setting line, or its setting line is
// malformed.
int load_system_setting_lcd_sleep_time(const char* path);

// atoi's reading of a number, saturated to the range of int.
int leadingInt(const char* text);
