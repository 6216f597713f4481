#include "converter/rtf_code_pages.h"

#include <map>

namespace kelvra {

int CodePageOfCharset(int charset, int fallback)
{
    static const std::map<int, int> kCharsets = {
        {2, 1252},   {77, 10000}, {128, 932}, {129, 949}, {134, 936},  {136, 950},  {161, 1253},
        {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250}, {254, 437}};
    const auto it = kCharsets.find(charset);
    return it == kCharsets.end() ? fallback : it->second;
}

std::string EncodingName(int codePage)
{
    if (codePage == 10000)
        return "MACINTOSH";
    if (codePage == 65001)
        return "UTF-8";
    return "CP" + std::to_string(codePage);
}

/// Language tags of the Windows language numbers that books use most.
std::string LanguageOfLcid(int lcid)
{
    static const std::map<int, const char*> kLanguages = {
        {1025, "ar"}, {1028, "zh-TW"}, {1029, "cs"}, {1030, "da"}, {1031, "de"}, {1032, "el"}, {1033, "en-US"},
        {1034, "es"}, {1035, "fi"}, {1036, "fr"}, {1037, "he"}, {1038, "hu"}, {1040, "it"}, {1041, "ja"},
        {1042, "ko"}, {1043, "nl"}, {1044, "nb"}, {1045, "pl"}, {1046, "pt-BR"}, {1049, "ru"}, {1053, "sv"},
        {1055, "tr"}, {1058, "uk"}, {2052, "zh-CN"}, {2057, "en-GB"}, {2070, "pt"}, {3082, "es"}, {3084, "fr-CA"}};
    const auto it = kLanguages.find(lcid);
    return it == kLanguages.end() ? std::string() : std::string(it->second);
}

} // namespace kelvra
