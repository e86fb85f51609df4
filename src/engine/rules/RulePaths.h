#pragma once
// The places a rule names: its variables expanded, and its wildcard segments
// ("%WinDir%\Microsoft.NET\Framework*\*\Logs") matched against what is on disk.
#include "sys/Platform.h"

#include <string>
#include <unordered_map>
#include <vector>

// The variables of rule paths, each read from the system once.
class CRuleVariables {
public:
    explicit CRuleVariables(CPlatform& sys) : m_sys(sys) {}

    // Every spelling of the path with its %variables% replaced (names ignore case). Most
    // variables give one value; %ProgramFiles% and %CommonProgramFiles% give the 64-bit
    // and the 32-bit folder where both exist. A variable with no value gives no path, and
    // so does a path of more than kMostSpellings spellings (each two-valued variable
    // doubles them).
    std::vector<std::string> Expand(const std::string& path);
    bool HasTooManySpellings(const std::string& path);

    static constexpr std::size_t kMostSpellings = 64;

private:
    std::vector<std::string> Spellings(const std::string& path, bool& tooMany);

    const std::vector<std::string>& Values(const std::string& name);

    CPlatform& m_sys;
    std::unordered_map<std::string, std::vector<std::string>> m_values; // by lower-case name
};

// The existing paths that the (expanded, absolute) path matches, each "*" or "?" in a
// segment standing for what it matches in a long name. Every segment but the last must
// be a folder, and a wildcard never leads through a link; the last may be a file when
// foldersOnly is false. A path without wildcards is returned as it is, unchecked.
std::vector<std::string> MatchingPaths(CPlatform& sys, const std::string& path, bool foldersOnly);

// The path's parts between backslashes (or slashes), without empty ones.
std::vector<std::string> PathSegments(const std::string& path);
