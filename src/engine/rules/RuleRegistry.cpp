#include "engine/rules/RuleRegistry.h"

#include "engine/core/StoredValues.h"
#include "engine/run/CleaningEngine.h"
#include "engine/removal/RemovalLines.h"
#include "engine/rules/RuleExclusions.h"
#include "engine/rules/RulePaths.h"
#include "sys/NameCase.h"
#include "sys/TextFormat.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr const char* kLineRefused = " names a key that Windows, its programs or Purgix! need and was kept\r\n";
constexpr const char* kLineExcluded = " is excluded and was kept\r\n";
// A key name is at most 255 characters, each at most three bytes in UTF-8.
constexpr std::size_t kKeyNameBytes = 1024;

using Segments = std::vector<std::string>;

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

bool Is(const std::string& segment, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return SameNameIgnoringCase(segment, name); });
}

// The key is the other key or lies below it.
bool IsKeyAtOrBelow(const Segments& inner, const Segments& outer)
{
    return inner.size() >= outer.size() &&
           std::equal(outer.begin(), outer.end(), inner.begin(),
                      [](const std::string& a, const std::string& b) { return SameNameIgnoringCase(a, b); });
}

bool SameKey(const Segments& a, const Segments& b)
{
    return a.size() == b.size() && IsKeyAtOrBelow(a, b);
}

std::string Joined(const Segments& segments)
{
    std::string text;
    for (const std::string& segment : segments)
        text += (text.empty() ? "" : "\\") + segment;
    return text;
}

bool HoldsOwnSettings(const Segments& key, bool wholeKey)
{
    const Segments own = PathSegments(ProgramKeyPath(""));
    // The settings key itself, anything in it, and (for a key) anything that holds it.
    return IsKeyAtOrBelow(key, own) || (wholeKey && IsKeyAtOrBelow(own, key));
}

// The key below the Software key of one hive, past Wow6432Node, that the rule is about.
bool IsProtectedSoftwareKey(Segments key)
{
    bool pastWow = false;
    if (!key.empty() && Is(key.front(), {"Wow6432Node"})) {
        key.erase(key.begin());
        pastWow = true;
    }
    // Classes\Wow6432Node is the 32-bit programs' Classes key under another name.
    if (key.size() > 1 && Is(key[0], {"Classes"}) && Is(key[1], {"Wow6432Node"}))
        key.erase(key.begin() + 1);
    if (key.size() <= (pastWow ? 1u : 0u))
        return true;
    if (Is(key[0], {"Microsoft", "Classes", "Policies", "Wow6432Node"}) && key.size() <= 2)
        return true;
    return Is(key[0], {"Microsoft"}) && key.size() >= 3 && key.size() <= 4 && Is(key[1], {"Windows", "Windows NT"}) &&
           Is(key[2], {"CurrentVersion"});
}

} // namespace

bool IsProtectedRuleKey(RegRoot root, const std::string& subkey, bool wholeKey)
{
    Segments key = PathSegments(subkey);
    root &= ~kRegView32;
    bool userHive = root == kHkeyCurrentUser;
    if (root == kHkeyUsers) {
        // Under HKEY_USERS the first level is each user's whole hive; "<user>_Classes" is
        // that user's Software\Classes.
        if (key.empty())
            return true;
        const std::string user = key.front();
        key.erase(key.begin());
        const std::string classes = "_Classes";
        if (user.size() > classes.size() && SameNameIgnoringCase(user.substr(user.size() - classes.size()), classes))
            key.insert(key.begin(), {"Software", "Classes"});
        else
            userHive = true;
    } else if (root == kHkeyClassesRoot) {
        key.insert(key.begin(), {"Software", "Classes"});
    }
    if (userHive && HoldsOwnSettings(key, wholeKey))
        return true;
    if (!wholeKey)
        return false;
    // The current configuration is a key under HKLM\SYSTEM by another name.
    if (root == kHkeyCurrentConfig || key.size() <= 1)
        return true;
    if (root == kHkeyLocalMachine && Is(key.front(), {"SYSTEM", "SAM", "SECURITY"}))
        return true;
    return Is(key.front(), {"Software"}) && IsProtectedSoftwareKey(Segments(key.begin() + 1, key.end()));
}

bool ParseHiveKey(const std::string& text, RegRoot& root, std::string& subkey)
{
    const std::size_t cut = text.find_first_of("\\/");
    const std::string hive = text.substr(0, cut);
    for (const Hive& known : kHives) {
        if (Is(hive, {known.shortName, known.longName})) {
            root = known.root;
            subkey = Joined(PathSegments(cut == std::string::npos ? "" : text.substr(cut + 1)));
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

namespace {

// One RegKey's removal in every view, each key or value reported once.
class CRuleKeyRemoval {
public:
    CRuleKeyRemoval(CCleaningEngine& engine, const std::string& entryName, const RuleRegKey& target)
        : m_engine(engine), m_sys(engine.Sys()), m_entry("'" + entryName + "' "),
          m_hive(target.key.substr(0, target.key.find_first_of("\\/")))
    {
    }

    void RemoveKey(RegRoot view, const Segments& key, const std::string& shown)
    {
        if (m_engine.Previewing()) {
            Note(shown, m_sys.RegKeyExists(view, Joined(key)), false);
            return;
        }
        const OsError error = m_sys.RegRemoveKey(view, Joined(key));
        // The tree's removal can stop with "not found" after part of it went: the key
        // still there is a failure.
        const bool failed = error != 0 && (error != kErrorFileNotFound || m_sys.RegKeyExists(view, Joined(key)));
        Note(shown, error == 0, failed);
    }

    void RemoveValue(RegRoot view, const Segments& key, const std::string& value, const std::string& shown)
    {
        if (m_engine.Previewing()) {
            RegValue read;
            Note(shown, m_sys.RegReadValue(view, Joined(key), value, false, read) == 0, false);
            return;
        }
        const OsError error = m_sys.RegRemoveValue(view, Joined(key), value);
        Note(shown, error == 0, error != 0 && error != kErrorFileNotFound);
    }

    // Everything in the key but the excluded keys and values below it (or in it).
    void RemoveAround(RegRoot view, const Segments& key, const std::vector<const ExcludedRegistry*>& kept)
    {
        std::vector<RegValue> values;
        m_sys.RegListValues(view, Joined(key), values);
        for (const RegValue& value : values) {
            if (std::none_of(kept.begin(), kept.end(), [&](const ExcludedRegistry* e) {
                    return e->hasValue && SameKey(e->key, key) && SameNameIgnoringCase(e->value, value.name);
                }))
                RemoveValue(view, key, value.name, Shown(key) + "|" + value.name);
        }
        std::vector<std::string> names;
        m_sys.RegListSubkeys(view, Joined(key), kKeyNameBytes, names);
        for (const std::string& name : names) {
            Segments child = key;
            child.push_back(name);
            if (std::any_of(kept.begin(), kept.end(),
                            [&](const ExcludedRegistry* e) { return !e->hasValue && SameKey(e->key, child); }))
                continue;
            if (std::any_of(kept.begin(), kept.end(),
                            [&](const ExcludedRegistry* e) { return IsKeyAtOrBelow(e->key, child); }))
                RemoveAround(view, child, kept);
            else
                RemoveKey(view, child, Shown(child));
        }
    }

    void ReportKept(const std::string& text) const
    {
        m_engine.ReportItem(RunAction::Skipped, m_entry + text, "INFO: " + m_entry + text + kLineExcluded);
    }

    // The lines, in the order the keys and values were first met.
    void Report() const
    {
        for (const Outcome& outcome : m_outcomes) {
            const std::string named = m_entry + outcome.shown;
            if (outcome.failed)
                m_engine.ReportItem(RunAction::RegistryFailed, named, named + kLineRegistryNotRemoved);
            else if (outcome.removed)
                m_engine.ReportItem(RunAction::RegistryRemoved, named,
                                    named +
                                        (m_engine.Previewing() ? kLineRegistryWouldBeRemoved : kLineRegistryRemoved));
        }
    }

private:
    struct Outcome {
        std::string shown;
        bool removed = false;
        bool failed = false;
    };

    std::string Shown(const Segments& key) const { return m_hive + "\\" + Joined(key); }

    void Note(const std::string& shown, bool removed, bool failed)
    {
        auto outcome =
            std::find_if(m_outcomes.begin(), m_outcomes.end(), [&](const Outcome& o) { return o.shown == shown; });
        if (outcome == m_outcomes.end())
            outcome = m_outcomes.insert(m_outcomes.end(), Outcome{shown});
        outcome->removed |= removed;
        outcome->failed |= failed;
    }

    CCleaningEngine& m_engine;
    CPlatform& m_sys;
    std::string m_entry;
    std::string m_hive;
    std::vector<Outcome> m_outcomes;
};

bool ExcludedExists(CPlatform& sys, RegRoot root, const ExcludedRegistry& kept)
{
    for (RegRoot view : RuleKeyViews(root)) {
        RegValue value;
        if (kept.hasValue ? sys.RegReadValue(view, Joined(kept.key), kept.value, false, value) == 0
                          : sys.RegKeyExists(view, Joined(kept.key)))
            return true;
    }
    return false;
}

} // namespace

void RemoveRuleRegKey(CCleaningEngine& engine, const std::string& entryName, const RuleRegKey& target,
                      const CRuleExclusions& exclusions)
{
    RegRoot root = 0;
    std::string subkey;
    const std::string named = "'" + entryName + "' " + target.text;
    if (!ParseHiveKey(target.key, root, subkey))
        return;
    if (IsProtectedRuleKey(root, subkey, !target.hasValue)) {
        engine.ReportItem(RunAction::Skipped, named, "INFO: " + named + kLineRefused);
        return;
    }
    const Segments key = PathSegments(subkey);
    CRuleKeyRemoval removal(engine, entryName, target);
    // Exclusions that keep the whole target, and those that keep part of it.
    std::vector<const ExcludedRegistry*> inside;
    for (const ExcludedRegistry& kept : exclusions.Registry()) {
        if (kept.root != root)
            continue;
        const bool keepsAll =
            target.hasValue ? (kept.hasValue ? SameKey(kept.key, key) && SameNameIgnoringCase(kept.value, target.value)
                                             : IsKeyAtOrBelow(key, kept.key))
                            : !kept.hasValue && IsKeyAtOrBelow(key, kept.key);
        if (keepsAll) {
            if (ExcludedExists(engine.Sys(), root, {root, key, target.value, target.hasValue, target.text}))
                removal.ReportKept(target.text);
            return;
        }
        if (!target.hasValue && IsKeyAtOrBelow(kept.key, key))
            inside.push_back(&kept);
    }
    for (RegRoot view : RuleKeyViews(root)) {
        if (target.hasValue)
            removal.RemoveValue(view, key, target.value, target.text);
        else if (inside.empty())
            removal.RemoveKey(view, key, target.text);
        else
            removal.RemoveAround(view, key, inside);
    }
    removal.Report();
    for (const ExcludedRegistry* kept : inside) {
        if (ExcludedExists(engine.Sys(), root, *kept))
            removal.ReportKept(kept->text);
    }
}
