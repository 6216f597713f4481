#include "converter/web_address.h"

#include "converter/xml_text.h"

#include <cctype>
#include <cstdio>
#include <string_view>

namespace kelvra {

namespace {

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

/// Percent-encodes what may not stand in a URL's path, query or fragment as
/// it is, including a "%" that starts no escape.
std::string EncodeUrlTail(const std::string& tail)
{
    static const std::string kAllowed = "-._~:/?#@!$&'()*+,;=";
    std::string out;
    for (size_t i = 0; i < tail.size(); ++i) {
        const char c = tail[i];
        const unsigned char u = static_cast<unsigned char>(c);
        const bool escape = c == '%' && i + 2 < tail.size() && IsHex(tail[i + 1]) && IsHex(tail[i + 2]);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            kAllowed.find(c) != std::string::npos || escape) {
            out += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", u);
            out += hex;
        }
    }
    return out;
}

bool IsHostName(const std::string& host)
{
    if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-' || host.back() == '.' ||
        host.back() == '-')
        return false;
    for (const char c : host)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
            return false;
    return true;
}

} // namespace

std::string SafeWebAddress(const std::string& link)
{
    const std::string clean = SanitizeUtf8(link);
    const size_t colon = clean.find(':');
    if (colon == std::string::npos)
        return {};
    std::string scheme = clean.substr(0, colon);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string rest = clean.substr(colon + 1);
    if (scheme == "mailto") {
        const size_t at = rest.find('@');
        if (at == std::string::npos || at == 0)
            return {};
        for (const char c : rest.substr(0, at))
            if (!(std::isalnum(static_cast<unsigned char>(c)) || std::string_view("._%+-").find(c) != std::string_view::npos))
                return {};
        return IsHostName(rest.substr(at + 1)) ? "mailto:" + rest : std::string();
    }
    if ((scheme != "http" && scheme != "https" && scheme != "ftp") || rest.compare(0, 2, "//") != 0)
        return {};
    const size_t hostEnd = rest.find_first_of("/?#", 2);
    std::string authority = rest.substr(2, hostEnd == std::string::npos ? std::string::npos : hostEnd - 2);
    const size_t portStart = authority.find(':');
    if (portStart != std::string::npos) {
        const std::string port = authority.substr(portStart + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return {};
    }
    if (!IsHostName(authority.substr(0, portStart)))
        return {};
    return scheme + "://" + authority + (hostEnd == std::string::npos ? std::string() : EncodeUrlTail(rest.substr(hostEnd)));
}

} // namespace kelvra
