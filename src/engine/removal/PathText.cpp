#include "engine/removal/PathText.h"

namespace {

constexpr std::string_view kLiteralPrefix = "\\\\?\\";
constexpr std::string_view kDevicePrefix = "\\\\.\\";
constexpr std::string_view kLiteralUncPrefix = "\\\\?\\UNC\\";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

} // namespace

bool IsAbsolutePath(std::string_view path)
{
    if (path.starts_with(kLiteralPrefix) || path.starts_with(kDevicePrefix))
        return true;
    const bool driveRooted = path.size() >= 3 &&
                             ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                             path[1] == ':' && IsSeparator(path[2]);
    // A share needs a server name: "\\" alone, or "\\\x", is relative to the current drive's root.
    const bool share = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
    return driveRooted || share;
}

std::string LiteralPath(const std::string& fullPath)
{
    if (fullPath.starts_with(kLiteralPrefix))
        return fullPath;
    if (fullPath.starts_with(kDevicePrefix))
        return std::string(kLiteralPrefix) + fullPath.substr(kDevicePrefix.size());
    if (fullPath.size() >= 2 && fullPath[0] == '\\' && fullPath[1] == '\\')
        return std::string(kLiteralUncPrefix) + fullPath.substr(2);
    return std::string(kLiteralPrefix) + fullPath;
}

std::string ShownPath(const std::string& path)
{
    if (path.starts_with(kLiteralUncPrefix))
        return "\\\\" + path.substr(kLiteralUncPrefix.size());
    if (path.starts_with(kLiteralPrefix) || path.starts_with(kDevicePrefix))
        return path.substr(kLiteralPrefix.size());
    return path;
}

bool NeedsLiteralForm(std::string_view shownPath)
{
    for (std::size_t i = 1; i < shownPath.size(); ++i) {
        const bool endOfPart = i + 1 == shownPath.size() || IsSeparator(shownPath[i + 1]);
        const char c = shownPath[i];
        if (endOfPart && (c == ' ' || c == '.') && !IsSeparator(shownPath[i - 1])) {
            // "." and ".." are parts of their own, not names ending in a dot.
            std::size_t start = shownPath.find_last_of("\\/", i);
            start = start == std::string_view::npos ? 0 : start + 1;
            const std::string_view part = shownPath.substr(start, i + 1 - start);
            if (part != "." && part != "..")
                return true;
        }
    }
    return false;
}
