#include "engine/rules/RulePaths.h"

#include "engine/removal/WildcardMatch.h"
#include "sys/FileHandles.h"
#include "sys/NameCase.h"

#include <algorithm>

namespace {

void AddValue(std::vector<std::string>& values, const std::string& value)
{
    if (!value.empty() && std::find(values.begin(), values.end(), value) == values.end())
        values.push_back(value);
}

std::string ParentFolder(const std::string& path)
{
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// The values of one variable. The 64-bit folders come first; a 32-bit process sees
// them only in the "W6432" variables.
std::vector<std::string> VariableValues(CPlatform& sys, const std::string& name)
{
    const std::string key = Lowered(name);
    std::vector<std::string> values;
    const auto firstOf = [&](const char* one, const char* other) {
        const std::string value = sys.GetEnv(one);
        return value.empty() ? sys.GetEnv(other) : value;
    };
    if (key == "programfiles") {
        AddValue(values, firstOf("ProgramW6432", "ProgramFiles"));
        AddValue(values, sys.GetEnv("ProgramFiles(x86)"));
    } else if (key == "commonprogramfiles") {
        AddValue(values, firstOf("CommonProgramW6432", "CommonProgramFiles"));
        AddValue(values, sys.GetEnv("CommonProgramFiles(x86)"));
    } else if (key == "locallowappdata") {
        const std::string local = sys.GetEnv("LOCALAPPDATA");
        if (!local.empty())
            AddValue(values, ParentFolder(local) + "\\LocalLow");
    } else if (key == "programdata" || key == "commonappdata") {
        AddValue(values, firstOf("ProgramData", "ALLUSERSPROFILE"));
    } else if (key == "systemroot" || key == "windir") {
        AddValue(values, sys.WindowsDirectory());
    } else if (key == "userprofile") {
        AddValue(values, sys.ProfileDirectory());
    } else if (key == "documents") {
        AddValue(values, sys.UserFolderPath(UserFolder::Documents));
    } else if (key == "music") {
        AddValue(values, sys.UserFolderPath(UserFolder::Music));
    } else if (key == "pictures") {
        AddValue(values, sys.UserFolderPath(UserFolder::Pictures));
    } else if (key == "video") {
        AddValue(values, sys.UserFolderPath(UserFolder::Videos));
    } else {
        // %AppData%, %LocalAppData%, %SystemDrive%, %Public%, %Temp% and any other.
        AddValue(values, sys.GetEnv(name));
    }
    for (std::string& value : values) {
        while (value.size() > 3 && (value.back() == '\\' || value.back() == '/'))
            value.pop_back();
    }
    return values;
}

} // namespace

const std::vector<std::string>& CRuleVariables::Values(const std::string& name)
{
    const auto [slot, added] = m_values.try_emplace(Lowered(name));
    if (added)
        slot->second = VariableValues(m_sys, name);
    return slot->second;
}

std::vector<std::string> CRuleVariables::Expand(const std::string& path)
{
    bool tooMany = false;
    return Spellings(path, tooMany);
}

bool CRuleVariables::HasTooManySpellings(const std::string& path)
{
    bool tooMany = false;
    Spellings(path, tooMany);
    return tooMany;
}

std::vector<std::string> CRuleVariables::Spellings(const std::string& path, bool& tooMany)
{
    std::vector<std::string> spellings = {std::string()};
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t open = path.find('%', at);
        const std::size_t close = open == std::string::npos ? open : path.find('%', open + 1);
        if (close == std::string::npos) {
            for (std::string& spelling : spellings)
                spelling += path.substr(at);
            break;
        }
        const std::string name = path.substr(open + 1, close - open - 1);
        if (name.empty() || name.find_first_of("\\/") != std::string::npos) {
            // Not a variable: the first "%" is part of a name.
            for (std::string& spelling : spellings)
                spelling += path.substr(at, open + 1 - at);
            at = open + 1;
            continue;
        }
        const std::vector<std::string>& values = Values(name);
        if (spellings.size() * values.size() > kMostSpellings) {
            tooMany = true;
            return {};
        }
        std::vector<std::string> next;
        for (const std::string& spelling : spellings) {
            for (const std::string& value : values)
                next.push_back(spelling + path.substr(at, open - at) + value);
        }
        spellings = std::move(next);
        at = close + 1;
    }
    return spellings;
}

std::vector<std::string> PathSegments(const std::string& path)
{
    std::vector<std::string> segments;
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t end = std::min(path.find_first_of("\\/", at), path.size());
        if (end > at)
            segments.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return segments;
}

std::vector<std::string> MatchingPaths(CPlatform& sys, const std::string& path, bool foldersOnly)
{
    const std::size_t wildcard = path.find_first_of("*?");
    // A "\\?\" path is literal: its "?" is no wildcard.
    if (wildcard == std::string::npos || path.rfind("\\\\?\\", 0) == 0)
        return {path};
    const std::size_t rootEnd = path.find_last_of("\\/", wildcard);
    if (rootEnd == std::string::npos)
        return {};
    std::vector<std::string> found = {path.substr(0, rootEnd)};
    const std::vector<std::string> segments = PathSegments(path.substr(rootEnd + 1));
    for (std::size_t i = 0; i < segments.size() && !found.empty(); ++i) {
        const std::string& segment = segments[i];
        const bool last = i + 1 == segments.size();
        if (!HasWildcard(segment)) {
            for (std::string& prefix : found)
                prefix += "\\" + segment;
            continue;
        }
        std::vector<std::string> next;
        for (const std::string& prefix : found) {
            for (CFileFind find(sys, prefix + "\\" + segment); find.Found(); find.Next()) {
                const FindEntry& entry = find.Entry();
                const bool folder = (entry.attributes & kAttrDirectory) != 0;
                if (entry.name == "." || entry.name == ".." || !MatchesWildcard(entry.name, segment))
                    continue;
                // A link met on the way leads outside the place the rule names.
                if ((!last && (!folder || (entry.attributes & kAttrReparsePoint))) || (last && foldersOnly && !folder))
                    continue;
                next.push_back(prefix + "\\" + entry.name);
            }
        }
        found = std::move(next);
    }
    return found;
}
