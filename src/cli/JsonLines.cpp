#include "cli/JsonLines.h"

#include "sys/TextFormat.h"

namespace {

const char* ActionName(RunAction action)
{
    switch (action) {
    case RunAction::Deleted:
        return "deleted";
    case RunAction::WouldDelete:
        return "would_delete";
    case RunAction::Deferred:
        return "deferred";
    case RunAction::NotDeleted:
        return "not_deleted";
    case RunAction::WouldRewrite:
        return "would_rewrite";
    case RunAction::RegistryRemoved:
        return "registry_removed";
    case RunAction::RegistryFailed:
        return "registry_failed";
    case RunAction::RegistryMissing:
        return "registry_missing";
    case RunAction::Skipped:
        return "skipped";
    case RunAction::RowsRemoved:
        return "rows_removed";
    case RunAction::FreeSpaceWiped:
        return "free_space_wiped";
    }
    return "info";
}

const char* OutcomeName(WipeOutcome outcome)
{
    switch (outcome) {
    case WipeOutcome::Wiped:
        return "wiped";
    case WipeOutcome::Stopped:
        return "stopped";
    case WipeOutcome::Failed:
        break;
    }
    return "failed";
}

} // namespace

std::string WithoutLineEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

std::string JsonString(std::string_view text)
{
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            json += FormatText("\\u%04x", static_cast<unsigned>(c));
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string WipeJson(const std::string& drive, const WipeResult& result)
{
    std::string json = FormatText("{\"action\":\"free_space_wiped\",\"drive\":%s,\"outcome\":\"%s\",\"bytes\":%llu,"
                                  "\"seconds\":%.3f",
                                  JsonString(drive).c_str(), OutcomeName(result.outcome),
                                  static_cast<unsigned long long>(result.bytes), result.seconds);
    if (result.outcome == WipeOutcome::Failed)
        json += ",\"reason\":" + JsonString(result.reason);
    return json + "}";
}

std::string ItemJson(const RunItem& item, bool preview)
{
    if (item.wipe)
        return WipeJson(item.path, *item.wipe);
    const char* action = ActionName(item.action);
    if (preview && item.action == RunAction::RegistryRemoved)
        action = "would_remove_registry";
    else if (preview && item.action == RunAction::RowsRemoved)
        action = "would_remove_rows";
    std::string json = std::string("{\"action\":\"") + action + "\",\"path\":" + JsonString(item.path);
    // The change is what the line says after the path and its " - ".
    if (item.action == RunAction::WouldRewrite && item.line.size() > item.path.size() + 3)
        json += ",\"change\":" + JsonString(WithoutLineEnd(item.line.substr(item.path.size() + 3)));
    if (item.rows)
        json += FormatText(",\"removed\":%lld,\"kept\":%lld", static_cast<long long>(item.rows->removed),
                           static_cast<long long>(item.rows->kept));
    if (item.bytes)
        json += FormatText(",\"bytes\":%llu", static_cast<unsigned long long>(*item.bytes));
    return json + "}";
}

std::string InfoJson(std::string_view text)
{
    return "{\"action\":\"info\",\"text\":" + JsonString(text) + "}";
}

std::string SummaryJson(const RunTally& tally, double seconds, bool preview)
{
    return FormatText("{\"summary\":{\"preview\":%s,\"files\":%lld,\"bytes\":%llu,\"deferred\":%lld,\"failed\":%lld,"
                      "\"seconds\":%.3f}}",
                      preview ? "true" : "false", static_cast<long long>(tally.files),
                      static_cast<unsigned long long>(tally.bytes), static_cast<long long>(tally.deferred),
                      static_cast<long long>(tally.failures), seconds);
}

std::string LevelJson(const std::string& level, const OptionSwitches& switches)
{
    std::string json = "{\"level\":" + JsonString(level) + ",\"switches\":{";
    for (const auto& [name, member] : kSwitches)
        json += (json.back() == '{' ? "\"" : ",\"") + std::string(name) + "\":" + (switches.*member ? "true" : "false");
    return json + "}}";
}

std::string InUseJson(const std::string& level, const OptionSwitches& switches)
{
    return "{\"in_use\":" + LevelJson(level, switches) + "}";
}

std::string RuleJson(const FoundRule& rule)
{
    return "{\"name\":" + JsonString(rule.name) + ",\"category\":" + JsonString(rule.category) +
           ",\"ticked\":" + (rule.ticked ? "true" : "false") + "}";
}
