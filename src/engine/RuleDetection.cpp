#include "engine/RuleDetection.h"

#include "engine/PathText.h"
#include "engine/RulePaths.h"
#include "engine/RuleRegistry.h"

#include <charconv>

namespace {

// "10.0" as a version; false when the text is no version.
bool ParseVersion(std::string_view text, KernelVersion& version)
{
    const std::size_t dot = text.find('.');
    const std::string_view major = text.substr(0, dot);
    const std::string_view minor = dot == std::string_view::npos ? std::string_view("0") : text.substr(dot + 1);
    const auto number = [](std::string_view part, unsigned& value) {
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        return !part.empty() && error == std::errc() && end == part.data() + part.size();
    };
    return number(major, version.major) && number(minor, version.minor);
}

bool Older(const KernelVersion& a, const KernelVersion& b)
{
    return a.major != b.major ? a.major < b.major : a.minor < b.minor;
}

bool KeyFound(CPlatform& sys, const std::string& text)
{
    RegRoot root = 0;
    std::string subkey;
    return ParseHiveKey(text, root, subkey) && RegistryKeyFound(sys, root, subkey);
}

bool FileFound(CPlatform& sys, const std::string& text)
{
    for (const std::string& path : ExpandRuleVariables(sys, text)) {
        if (!IsAbsolutePath(path))
            continue;
        for (const std::string& match : MatchingPaths(sys, path, false)) {
            std::uint32_t attributes = 0;
            if (sys.GetAttributes(match, attributes) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

bool VersionInRange(const std::string& range, KernelVersion version)
{
    const std::size_t bar = range.find('|');
    KernelVersion bound;
    if (ParseVersion(range.substr(0, bar), bound) && Older(version, bound))
        return false;
    return bar == std::string::npos || !ParseVersion(range.substr(bar + 1), bound) || !Older(bound, version);
}

bool RuleFound(CPlatform& sys, const RuleEntry& entry)
{
    if (!entry.detectOs.empty() && !VersionInRange(entry.detectOs, sys.SystemVersion()))
        return false;
    if (entry.detectKeys.empty() && entry.detectFiles.empty())
        return !entry.specialDetect;
    for (const std::string& key : entry.detectKeys) {
        if (KeyFound(sys, key))
            return true;
    }
    for (const std::string& file : entry.detectFiles) {
        if (FileFound(sys, file))
            return true;
    }
    return false;
}
