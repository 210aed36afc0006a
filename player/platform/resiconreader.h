#pragma once

// The phone's icon resource reader. The About box keeps one alive while it
// is open; nothing is read through it on the desktop.
class RES_ICON_Reader
{
public:
    RES_ICON_Reader() = default;
    ~RES_ICON_Reader() = default;
    RES_ICON_Reader(const RES_ICON_Reader&) = delete;
    RES_ICON_Reader& operator=(const RES_ICON_Reader&) = delete;
};
