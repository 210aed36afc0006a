#include "subtitleencoding.h"

#include <uchardet.h>

#include <memory>

namespace
{
bool oneOf(const std::string& value, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (value == name)
            return true;
    return false;
}
} // namespace

std::string detectEncoding(const std::string& text)
{
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), text.data(), text.size()) != 0)
        return {};
    uchardet_data_end(detector.get());
    const char* name = uchardet_get_charset(detector.get());
    return name ? name : "";
}

bool isCjkEncoding(const std::string& detected)
{
    return oneOf(detected, {"SHIFT_JIS", "EUC-JP", "ISO-2022-JP", "EUC-KR", "UHC", "ISO-2022-KR",
                            "GB18030", "BIG5", "EUC-TW"});
}

std::string subtitleCodepage(const std::string& detected)
{
    if (oneOf(detected, {"SHIFT_JIS", "EUC-JP", "ISO-2022-JP", "EUC-KR", "UHC", "ISO-2022-KR",
                         "TIS-620", "WINDOWS-874", "ISO-8859-11"}))
        return detected;
    if (oneOf(detected, {"", "ASCII", "UTF-8", "unknown"}))
        return defaultCodepage;
    static const std::pair<const char*, const char*> windows[] = {{"ISO-8859-1", "WINDOWS-1252"},
                                                                  {"ISO-8859-2", "WINDOWS-1250"},
                                                                  {"ISO-8859-7", "WINDOWS-1253"},
                                                                  {"ISO-8859-8", "WINDOWS-1255"}};
    for (const auto& [iso, codepage] : windows)
        if (detected == iso)
            return std::string("enca:zh:") + codepage;
    return "enca:zh:" + detected;
}
