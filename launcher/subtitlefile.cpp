#include "subtitlefile.h"

#include "headread.h"

#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <regex>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

namespace
{
bool lower(char c)
{
    return c >= 'a' && c <= 'z';
}
bool letter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// "zh", "yue", "pt-BR", "zh_TW", "sr-Latn".
bool isLanguageTag(const std::string& tag)
{
    const size_t n = tag.size();
    if (n < 2 || !lower(tag[0]) || !lower(tag[1]))
        return false;
    if (n == 2)
        return true;
    if (n == 3)
        return lower(tag[2]);
    if (tag[2] != '-' && tag[2] != '_')
        return false;
    if (n == 5)
        return letter(tag[3]) && letter(tag[4]);
    return n == 7 && std::isupper(static_cast<unsigned char>(tag[3])) && lower(tag[4]) &&
           lower(tag[5]) && lower(tag[6]);
}

const char* const isoLanguageCodes = "/usr/share/iso-codes/json/iso_639-2.json";

bool isSubtitleExtension(const std::string& extension)
{
    for (const char* known : {"srt", "sub", "ssa", "ass", "smi"})
        if (strcasecmp(extension.c_str(), known) == 0)
            return true;
    return false;
}
} // namespace

bool isLanguageCode(const std::string& code)
{
    static const std::string codes = readHead(isoLanguageCodes, 1 << 20);
    const std::string key = code.size() == 2 ? "\"alpha_2\": \"" : "\"alpha_3\": \"";
    return codes.find(key + code + '"') != std::string::npos ||
           (code.size() == 3 &&
            codes.find("\"bibliographic\": \"" + code + '"') != std::string::npos);
}

std::string userLanguage(const char* lcAll, const char* lcMessages, const char* lang)
{
    std::string language;
    for (const char* value : {lcAll, lcMessages, lang})
        if (value && *value) {
            language = value;
            break;
        }
    return language.substr(0, language.find_first_of("_.@"));
}

int subtitleRank(const std::string& rest, const std::string& language)
{
    const size_t dot = rest.rfind('.');
    if (dot == std::string::npos)
        return 0;
    const std::string tag = rest.substr(0, dot);
    const std::string primary = tag.substr(0, tag.find_first_of("-_"));
    if (!isLanguageTag(tag) || !isLanguageCode(primary))
        return -1;
    return primary == language ? 1 : 2;
}

bool readsAsTimedText(const std::string& head)
{
    static const std::regex timed(R"((-->)|(^\{[0-9]+\}\{[0-9]*\})|(^\[[0-9]+\]\[[0-9]*\])|)"
                                  R"((^[0-9]{1,2}:[0-9]{2}:[0-9]{2}[:=,.]))",
                                  std::regex::nosubs);
    size_t start = 0;
    while (start <= head.size()) {
        const size_t end = std::min(head.find('\n', start), head.size());
        if (std::regex_search(head.begin() + static_cast<long>(start),
                              head.begin() + static_cast<long>(end), timed))
            return true;
        start = end + 1;
    }
    return false;
}

std::string ownSubtitleFile(const std::string& clip, const std::string& language)
{
    const size_t slash = clip.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : clip.substr(0, slash);
    std::string name = slash == std::string::npos ? clip : clip.substr(slash + 1);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    const std::string prefix = name + '.';

    std::vector<std::string> rests;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (std::string_view(entry->d_name).starts_with(prefix))
                rests.emplace_back(entry->d_name + prefix.size());
        closedir(dir);
    }
    std::sort(rests.begin(), rests.end());

    std::string subtitle;
    int best = 3;
    for (const std::string& rest : rests) {
        const int rank = subtitleRank(rest, language);
        const std::string file = folder + '/' + prefix + rest;
        struct stat st {
        };
        if (rank < 0 || rank >= best || stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const std::string extension = rest.substr(rest.rfind('.') + 1);
        if (!isSubtitleExtension(extension) &&
            !(strcasecmp(extension.c_str(), "txt") == 0 && readsAsTimedText(readHead(file, 4096))))
            continue;
        subtitle = file;
        best = rank;
    }
    return subtitle;
}
