#include "engine/browsers/ProfilesIni.h"

#include "sys/NameCase.h"

#include <optional>

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsProfileSection(std::string_view name)
{
    constexpr std::string_view kPrefix = "Profile";
    if (!StartsWithIgnoringAsciiCase(name, kPrefix) || name.size() == kPrefix.size())
        return false;
    return name.substr(kPrefix.size()).find_first_not_of("0123456789") == std::string_view::npos;
}

struct Section {
    std::optional<std::string> isRelative;
    std::optional<std::string> path;
};

void Finish(std::optional<Section>& section, std::vector<ProfilesIniEntry>& entries)
{
    if (section && section->isRelative && section->path)
        entries.push_back({*section->isRelative == "1", *section->path});
    section.reset();
}

} // namespace

std::vector<ProfilesIniEntry> ParseProfilesIni(std::string_view text)
{
    if (text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    std::vector<ProfilesIniEntry> entries;
    std::optional<Section> section;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.starts_with('[') && line.ends_with(']')) {
            Finish(section, entries);
            if (IsProfileSection(line.substr(1, line.size() - 2)))
                section.emplace();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!section || equals == std::string_view::npos)
            continue;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string value(Trimmed(line.substr(equals + 1)));
        if (SameIgnoringAsciiCase(key, "IsRelative"))
            section->isRelative = value;
        else if (SameIgnoringAsciiCase(key, "Path"))
            section->path = value;
    }
    Finish(section, entries);
    return entries;
}
