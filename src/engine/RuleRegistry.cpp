#include "engine/RuleRegistry.h"

#include "engine/CleaningEngine.h"
#include "engine/RemovalLines.h"
#include "engine/RuleExclusions.h"
#include "engine/RulePaths.h"
#include "settings/SettingsStore.h"
#include "sys/TextFormat.h"

namespace {

constexpr const char* kLineRefused =
    " names a whole hive, a hive's top-level key or Purgix!'s own settings and was kept\r\n";
constexpr const char* kLineExcluded = " holds what the entry excludes and was kept\r\n";
constexpr OsError kErrorFileNotFound = 2;

struct Hive {
    const char* shortName;
    const char* longName;
    RegRoot root;
};
constexpr Hive kHives[] = {
    {"HKCU", "HKEY_CURRENT_USER", kHkeyCurrentUser},
    {"HKLM", "HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
    {"HKU", "HKEY_USERS", kHkeyUsers},
    {"HKCR", "HKEY_CLASSES_ROOT", kHkeyClassesRoot},
    {"HKCC", "HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
};

bool Within(const std::string& inner, const std::string& outer)
{
    return outer.empty() || inner == outer || inner.rfind(outer + "\\", 0) == 0;
}

// A key whose removal would take more than a program's own traces.
bool IsRefused(RegRoot root, const std::string& subkey, bool wholeKey)
{
    std::vector<std::string> segments = PathSegments(Lowered(subkey));
    // Under HKEY_USERS the first level is each user's whole hive.
    if (root == kHkeyUsers && !segments.empty())
        segments.erase(segments.begin());
    if (wholeKey && segments.size() <= 1)
        return true;
    if (root != kHkeyCurrentUser && root != kHkeyUsers)
        return false;
    std::string key;
    for (const std::string& segment : segments)
        key += (key.empty() ? "" : "\\") + segment;
    const std::string own = Lowered(CSettingsStore::KeyPath(""));
    // The settings key itself, anything in it, and (for a key) anything that holds it.
    return Within(key, own) || (wholeKey && Within(own, key));
}

} // namespace

bool ParseHiveKey(const std::string& text, RegRoot& root, std::string& subkey)
{
    const std::size_t cut = text.find('\\');
    const std::string hive = Lowered(text.substr(0, cut));
    for (const Hive& known : kHives) {
        if (hive == Lowered(known.shortName) || hive == Lowered(known.longName)) {
            root = known.root;
            subkey.clear();
            for (const std::string& segment : PathSegments(cut == std::string::npos ? "" : text.substr(cut + 1)))
                subkey += (subkey.empty() ? "" : "\\") + segment;
            return true;
        }
    }
    return false;
}

std::vector<RegRoot> RuleKeyViews(RegRoot root)
{
    if (root == kHkeyLocalMachine)
        return {root | kRegView32, root};
    return {root};
}

void RemoveRuleRegKey(CCleaningEngine& engine, const std::string& entryName, const RuleRegKey& target,
                      const CRuleExclusions& exclusions)
{
    RegRoot root = 0;
    std::string subkey;
    const std::string named = "'" + entryName + "' " + target.text;
    if (!ParseHiveKey(target.key, root, subkey))
        return;
    if (IsRefused(root, subkey, !target.hasValue)) {
        engine.ReportItem(RunAction::Skipped, named, "INFO: " + named + kLineRefused);
        return;
    }
    if (exclusions.KeepsRegistry(root, subkey, target)) {
        engine.ReportItem(RunAction::Skipped, named, "INFO: " + named + kLineExcluded);
        return;
    }
    bool removed = false;
    bool failed = false;
    CPlatform& sys = engine.Sys();
    for (RegRoot view : RuleKeyViews(root)) {
        if (engine.m_bPreview) {
            // What is there would go; nothing is read in a way that creates a key.
            RegValue value;
            removed |= target.hasValue ? sys.RegReadValue(view, subkey, target.value, false, value) == 0
                                       : sys.RegKeyExists(view, subkey);
            continue;
        }
        const OsError error =
            target.hasValue ? sys.RegRemoveValue(view, subkey, target.value) : sys.RegRemoveKey(view, subkey);
        removed |= error == 0;
        failed |= error != 0 && error != kErrorFileNotFound;
    }
    // Nothing to remove is nothing to report.
    if (failed)
        engine.ReportItem(RunAction::RegistryFailed, named, named + kLineRegistryNotRemoved);
    else if (removed)
        engine.ReportItem(RunAction::RegistryRemoved, named,
                          named + (engine.m_bPreview ? kLineRegistryWouldBeRemoved : kLineRegistryRemoved));
}
