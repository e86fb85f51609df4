#include "cli/KeepCommand.h"

#include "cli/CliRequest.h"
#include "cli/JsonLines.h"
#include "engine/browsers/KeepList.h"
#include "engine/core/StoredValues.h"
#include "settings/StoredRunOptions.h"

#include <algorithm>
#include <optional>

namespace {

constexpr const char* kKeepUsage = "keep takes list, add SITE... or remove SITE...";

KeepOutcome Failed(int exitCode, const std::string& line)
{
    return {"", "purgix-cli: " + line + "\n", exitCode};
}

KeepOutcome Unreadable(bool changing)
{
    return Failed(kExitIncomplete, "the stored list of sites to keep cannot be read (" + std::string(kKeepSitesValue) +
                                       " under HKEY_CURRENT_USER\\" + ProgramKeyPath("") +
                                       " is not a list of strings)" + (changing ? "; nothing was changed" : ""));
}

bool SameSite(const std::string& stored, const std::string& site)
{
    return NormalisedSite(stored) == site;
}

} // namespace

KeepOutcome EditKeepSites(const std::vector<std::string>& operands, bool json, const CSettingsStore& store)
{
    const std::string action = operands.empty() ? "" : operands.front();
    const bool listing = action == "list";
    if ((!listing && action != "add" && action != "remove") || (listing != (operands.size() == 1)))
        return Failed(kExitUsage, kKeepUsage);
    std::vector<std::string> sites;
    for (auto typed = operands.begin() + 1; typed != operands.end(); ++typed) {
        const std::optional<std::string> site = NormalisedSite(*typed);
        if (!site)
            return Failed(kExitUsage, "'" + *typed + "' names no site; nothing was changed");
        sites.push_back(*site);
    }
    std::optional<std::vector<std::string>> kept = ReadKeepSites(store);
    if (!kept)
        return Unreadable(!listing);

    KeepOutcome outcome;
    if (listing) {
        for (const std::string& site : *kept)
            outcome.out += (json ? "{\"site\":" + JsonString(site) + "}" : site) + "\n";
        return outcome;
    }
    for (const std::string& site : sites) {
        const auto same = [&](const std::string& stored) { return SameSite(stored, site); };
        const bool listed = std::any_of(kept->begin(), kept->end(), same);
        if (action == "add" && !listed)
            kept->push_back(site);
        if (action == "remove")
            std::erase_if(*kept, same);
        outcome.out +=
            site +
            (action == "add" ? (listed ? " was kept already" : " added") : (listed ? " removed" : " was not kept")) +
            "\n";
    }
    if (!StoreKeepSites(store, *kept))
        return Failed(kExitIncomplete, kCannotWriteRegistry);
    return outcome;
}
