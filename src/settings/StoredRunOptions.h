#pragma once
// The user's stored choice read into the options of one run.
//
// Usage:
//   engine.Run(ReadRunOptions(CSettingsStore::ReadOnly()));
#include "engine/core/RunOptions.h"
#include "settings/SettingsStore.h"

#include <optional>
#include <string>
#include <vector>

// Where the chosen rule entries are stored: one REG_DWORD of 1 per entry, named as the entry.
inline constexpr const char* kRulesSection = "Rules";

// The sites whose cookies and site data stay: a REG_MULTI_SZ under the program's key.
inline constexpr const char* kKeepSitesValue = "KeepSites";

// The stored keep list; nothing when it cannot be read (never an empty list in its place).
std::optional<std::vector<std::string>> ReadKeepSites(const CSettingsStore& store);
bool StoreKeepSites(const CSettingsStore& store, const std::vector<std::string>& sites);

// The switches as the stored choice reads (LoadOptions, as every window shows it), the
// entries chosen under "Rules", the program's folder for the rule files, and the keep list.
RunOptions ReadRunOptions(const CSettingsStore& store);
