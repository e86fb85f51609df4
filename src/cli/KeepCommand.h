#pragma once
// `purgix-cli keep list|add SITE...|remove SITE...`: the stored list of sites whose cookies
// and site data stay. A list that cannot be read is said so and never written over.
//
// Usage:
//   const KeepOutcome outcome = EditKeepSites({"add", "example.com"}, false, CSettingsStore());
#include "settings/SettingsStore.h"

#include <string>
#include <vector>

struct KeepOutcome {
    std::string out; // for standard output
    std::string err; // for standard error
    int exitCode = 0;
};

// operands: "list", or "add"/"remove" and the sites. json: the list as one object a line.
KeepOutcome EditKeepSites(const std::vector<std::string>& operands, bool json, const CSettingsStore& store);
