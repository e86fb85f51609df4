#include "engine/rules/RuleDetection.h"

#include "engine/removal/PathText.h"
#include "engine/rules/RulePaths.h"
#include "engine/rules/RuleRegistry.h"
#include "engine/removal/WildcardMatch.h"
#include "sys/FileHandles.h"
#include "sys/NameCase.h"

#include <algorithm>
#include <charconv>

namespace {

// Key names are at most 255 characters.
constexpr std::size_t kLongestKeyName = 256;

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

// "X:\" at the start: the paths whose folders can be read one level at a time.
bool IsDrivePath(const std::string& path)
{
    return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
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

bool CRuleDetector::Found(const RuleEntry& entry)
{
    if (!entry.detectOs.empty() && !VersionInRange(entry.detectOs, m_version))
        return false;
    if (entry.detectKeys.empty() && entry.detectFiles.empty())
        return !entry.specialDetect;
    return std::any_of(entry.detectKeys.begin(), entry.detectKeys.end(),
                       [&](const std::string& key) { return KeyFound(key); }) ||
           std::any_of(entry.detectFiles.begin(), entry.detectFiles.end(),
                       [&](const std::string& file) { return FileFound(file); });
}

bool CRuleDetector::FileFound(const std::string& text)
{
    for (const std::string& path : m_variables.Expand(text)) {
        if (IsDrivePath(path)) {
            if (ExistsBelow(path.substr(0, 3), PathSegments(path.substr(3)), 0))
                return true;
            continue;
        }
        if (!IsAbsolutePath(path))
            continue;
        // A share or a device path: asked as it is.
        for (const std::string& match : MatchingPaths(m_sys, path, false)) {
            std::uint32_t attributes = 0;
            if (m_sys.GetAttributes(match, attributes) == 0)
                return true;
        }
    }
    return false;
}

// True when segments[next...] exist below the folder (ending in a backslash). Names are
// compared as the file system does, letter case ignored; a wildcard never leads through
// a link, as in a FileKey's path.
bool CRuleDetector::ExistsBelow(const std::string& folder, const std::vector<std::string>& segments, std::size_t next)
{
    if (next == segments.size())
        return true;
    const std::string& segment = segments[next];
    const bool last = next + 1 == segments.size();
    const bool wildcard = HasWildcard(segment);
    for (const FindEntry& entry : FolderEntries(folder)) {
        if (wildcard ? !MatchesWildcard(entry.name, segment) : !SameNameIgnoringCase(entry.name, segment))
            continue;
        const bool isFolder = (entry.attributes & kAttrDirectory) != 0;
        if (last)
            return true;
        if (isFolder && !(wildcard && (entry.attributes & kAttrReparsePoint)) &&
            ExistsBelow(folder + entry.name + "\\", segments, next + 1))
            return true;
    }
    return false;
}

const std::vector<FindEntry>& CRuleDetector::FolderEntries(const std::string& folder)
{
    const auto [slot, added] = m_folders.try_emplace(Lowered(folder));
    if (added) {
        for (CFileFind find(m_sys, folder + "*"); find.Found(); find.Next()) {
            if (find.Entry().name != "." && find.Entry().name != "..")
                slot->second.push_back(find.Entry());
        }
    }
    return slot->second;
}

bool CRuleDetector::KeyFound(const std::string& text)
{
    RegRoot root = 0;
    std::string subkey;
    if (!ParseHiveKey(text, root, subkey))
        return false;
    const std::vector<std::string> segments = PathSegments(subkey);
    if (segments.empty())
        return true; // the hive itself
    for (RegRoot view : RuleKeyViews(root)) {
        // A hive's own top level can be long (every file type under HKCR): asked directly.
        const auto [top, added] = m_topKeys.try_emplace(std::to_string(view) + "\\" + Lowered(segments.front()));
        if (added)
            top->second = m_sys.RegKeyExists(view, segments.front());
        if (!top->second)
            continue;
        std::string key = segments.front();
        bool found = true;
        for (std::size_t i = 1; i < segments.size() && found; ++i) {
            const std::vector<std::string>& names = Subkeys(view, key);
            const std::string wanted = Lowered(segments[i]);
            found = std::find(names.begin(), names.end(), wanted) != names.end();
            key += "\\" + segments[i];
        }
        if (found)
            return true;
    }
    return false;
}

const std::vector<std::string>& CRuleDetector::Subkeys(RegRoot view, const std::string& key)
{
    const auto [slot, added] = m_subkeys.try_emplace(std::to_string(view) + "\\" + Lowered(key));
    if (added) {
        m_sys.RegListSubkeys(view, key, kLongestKeyName, slot->second);
        for (std::string& name : slot->second)
            name = Lowered(name);
    }
    return slot->second;
}
