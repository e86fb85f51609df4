#pragma once
// The console program's --json output: one object a line.
#include "engine/rules/RuleSources.h"
#include "engine/core/RunSink.h"
#include "settings/LevelLogic.h"

#include <cstdint>
#include <string>
#include <string_view>

// A report line without its "\r\n".
std::string WithoutLineEnd(std::string text);
// The text as a JSON string, quotes included.
std::string JsonString(std::string_view text);
// {"action":"deleted","path":"...","bytes":123}; "bytes" only for a counted file. In a
// preview a list that would go reads "would_remove_registry", and a file that would be
// rewritten carries the "change". A database cleaned inside:
// {"action":"rows_removed","path":"...","removed":n,"kept":n,"bytes":freed}, in a preview
// "would_remove_rows".
std::string ItemJson(const RunItem& item, bool preview);

// One drive's free-space wipe: {"action":"free_space_wiped","drive":"C:","outcome":"wiped",
// "bytes":n,"seconds":x}, with the "reason" of a failure; for a run's item and wipe-free alike.
std::string WipeJson(const std::string& drive, const WipeResult& result);
// {"action":"info","text":"..."} for a line that is about no one thing.
std::string InfoJson(std::string_view text);
// {"summary":{"preview":false,"files":n,"bytes":n,"deferred":n,"failed":n,"seconds":x}}
std::string SummaryJson(const RunTally& tally, double seconds, bool preview);
// {"level":"basic","switches":{"DeleteNewsgroupSubscriptions":true,...}}
std::string LevelJson(const std::string& level, const OptionSwitches& switches);
// {"in_use":{"level":"custom","switches":{...}}}: what a run would use.
std::string InUseJson(const std::string& level, const OptionSwitches& switches);
// {"name":"...","category":"...","ticked":true}
std::string RuleJson(const FoundRule& rule);
