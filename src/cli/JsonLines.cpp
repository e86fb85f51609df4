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
    case RunAction::Info:
        return "info";
    case RunAction::RegistryRemoved:
        return "registry_removed";
    case RunAction::RegistryFailed:
        return "registry_failed";
    case RunAction::Skipped:
        return "skipped";
    }
    return "info";
}

} // namespace

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

std::string ItemJson(const RunItem& item)
{
    std::string json = std::string("{\"action\":\"") + ActionName(item.action) + "\",\"path\":" + JsonString(item.path);
    if (item.bytes)
        json += FormatText(",\"bytes\":%llu", static_cast<unsigned long long>(*item.bytes));
    return json + "}";
}

std::string InfoJson(std::string_view text)
{
    return "{\"action\":\"info\",\"text\":" + JsonString(text) + "}";
}

std::string SummaryJson(const RunTally& tally, double seconds)
{
    return FormatText("{\"summary\":{\"files\":%lld,\"bytes\":%llu,\"deferred\":%d,\"failed\":%d,\"seconds\":%.3f}}",
                      static_cast<long long>(tally.files), static_cast<unsigned long long>(tally.bytes), tally.deferred,
                      tally.failed, seconds);
}
