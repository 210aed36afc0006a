#include "preload.h"

std::string playerPreload(const std::string& player, const std::string& current)
{
    if (player != debianPlayer)
        return current;
    std::string preload = current;
    for (const char* library : {"libmng.so.1",         "libasound.so.2",
                                "libavutil.so.57",     "libm.so.6",
                                "libpulse.so.0",       "libjack.so.0",
                                "libc.so.6",           "libstdc++.so.6",
                                "libgme.so.0",         "libopenmpt.so.0",
                                "libgnutls.so.30",     "libsrt-gnutls.so.1.5",
                                "libgobject-2.0.so.0", "libglib-2.0.so.0",
                                "libcodec2.so.1.0",    "pulseaudio/libpulsecommon-16.1.so",
                                "libdbus-1.so.3",      "libdb-5.3.so",
                                "libunistring.so.2",   "libnettle.so.8",
                                "libcrypto.so.3",      "libmbedcrypto.so.7",
                                "libgio-2.0.so.0",     "libpango-1.0.so.0"})
        preload.append(" /usr/$LIB/").append(library);
    return preload;
}
