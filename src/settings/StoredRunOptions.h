#pragma once
// The user's stored choice read into the options of one run.
//
// Usage:
//   engine.Run(ReadRunOptions(CSettingsStore::ReadOnly()));
#include "engine/core/RunOptions.h"
#include "settings/SettingsStore.h"

// Where the chosen rule entries are stored: one REG_DWORD of 1 per entry, named as the entry.
inline constexpr const char* kRulesSection = "Rules";

// The switches as the stored choice reads (LoadOptions, as every window shows it), the
// entries chosen under "Rules", and the program's folder for the rule files.
RunOptions ReadRunOptions(const CSettingsStore& store);
