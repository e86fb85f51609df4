#include "engine/rules/RuleFile.h"

#include "sys/NameCase.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(Trimmed(text.substr(at, end == std::string_view::npos ? end : end - at)));
        if (end == std::string_view::npos)
            return parts;
        at = end + 1;
    }
}

std::vector<std::string> Patterns(std::string_view text)
{
    std::vector<std::string> patterns;
    for (std::string_view pattern : Split(text, ';')) {
        if (!pattern.empty())
            patterns.emplace_back(pattern);
    }
    return patterns;
}

// A folder as written, without the separators at its end (a drive's root keeps one).
std::string Folder(std::string_view text)
{
    while (text.size() > 3 && (text.back() == '\\' || text.back() == '/'))
        text.remove_suffix(1);
    return std::string(text);
}

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 LE (after its BOM) as UTF-8; a lone surrogate becomes U+FFFD.
std::string FromUtf16(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8;
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(++i) - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        AppendUtf8(out, code);
    }
    return out;
}

// A key name such as "FileKey12": its letters and its number (0 when it has none).
bool SplitKeyName(std::string_view key, std::string_view& kind, int& number)
{
    std::size_t digits = key.size();
    while (digits > 0 && key[digits - 1] >= '0' && key[digits - 1] <= '9')
        --digits;
    kind = key.substr(0, digits);
    number = 0;
    if (digits == key.size())
        return true;
    const auto [end, error] = std::from_chars(key.data() + digits, key.data() + key.size(), number);
    return error == std::errc() && end == key.data() + key.size();
}

bool ParseFileKey(std::string_view text, RuleFileKey& fileKey)
{
    const std::vector<std::string_view> parts = Split(text, '|');
    if (parts.size() < 2 || parts.size() > 3 || parts[0].empty())
        return false;
    fileKey.path = Folder(parts[0]);
    fileKey.patterns = Patterns(parts[1]);
    if (parts.size() == 3) {
        if (SameIgnoringAsciiCase(parts[2], "RECURSE"))
            fileKey.recurse = true;
        else if (SameIgnoringAsciiCase(parts[2], "REMOVESELF"))
            fileKey.recurse = fileKey.removeSelf = true;
        else if (!parts[2].empty())
            return false;
    }
    return !fileKey.patterns.empty();
}

bool ParseExclusion(std::string_view text, RuleExclusion& exclusion)
{
    exclusion.text = text;
    const std::size_t bar = text.find('|');
    if (bar == std::string_view::npos)
        return false;
    const std::string_view kind = Trimmed(text.substr(0, bar));
    const std::string_view rest = Trimmed(text.substr(bar + 1));
    if (rest.empty())
        return false;
    if (SameIgnoringAsciiCase(kind, "REG")) {
        exclusion.kind = RuleExclusion::Kind::Reg;
        exclusion.reg = ParseRegKey(rest);
        return true;
    }
    if (SameIgnoringAsciiCase(kind, "FILE"))
        exclusion.kind = RuleExclusion::Kind::File;
    else if (SameIgnoringAsciiCase(kind, "PATH"))
        exclusion.kind = RuleExclusion::Kind::Path;
    else
        return false;
    std::size_t split = rest.find('|');
    // FILE|folder\name: the name is the last part of the path.
    if (split == std::string_view::npos && exclusion.kind == RuleExclusion::Kind::File) {
        split = rest.find_last_of("\\/");
        if (split == std::string_view::npos)
            return false;
    }
    exclusion.folder = Folder(Trimmed(rest.substr(0, split)));
    if (split != std::string_view::npos)
        exclusion.patterns = Patterns(rest.substr(split + 1));
    // A FILE exclusion names files; without names it would keep nothing.
    return !exclusion.folder.empty() && (exclusion.kind == RuleExclusion::Kind::Path || !exclusion.patterns.empty());
}

// Numbered keys are kept with their numbers until the entry ends, then put in order.
template <class T> struct Numbered {
    int number;
    T item;
};

template <class T> std::vector<T> InNumberOrder(std::vector<Numbered<T>>& keys)
{
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    std::vector<T> items;
    items.reserve(keys.size());
    for (auto& key : keys)
        items.push_back(std::move(key.item));
    return items;
}

class CRuleReader {
public:
    CRuleReader(RuleBudget& budget, bool builtIn) : m_budget(budget), m_builtIn(builtIn) {}

    // False once the budget is spent: the rest of the file is not read.
    bool Line(std::string_view line)
    {
        line = Trimmed(line);
        if (line.empty() || line.front() == ';')
            return true;
        if (line.front() == '[') {
            Finish();
            if (m_budget.entries == 0)
                return false;
            const std::string_view name = line.back() == ']' ? Trimmed(line.substr(1, line.size() - 2)) : "";
            m_open = !name.empty();
            if (m_open) {
                m_entry.name = name;
                --m_budget.entries;
            }
            return true;
        }
        const std::size_t equals = line.find('=');
        if (!m_open || equals == std::string_view::npos)
            return true;
        std::string_view kind;
        int number = 0;
        if (SplitKeyName(Trimmed(line.substr(0, equals)), kind, number))
            Key(kind, number, Trimmed(line.substr(equals + 1)));
        if (m_budget.keys == 0) {
            m_open = false;
            return false;
        }
        return true;
    }

    std::vector<RuleEntry> Entries()
    {
        Finish();
        return std::move(m_entries);
    }

private:
    void Key(std::string_view kind, int number, std::string_view value)
    {
        const bool counted = SameIgnoringAsciiCase(kind, "Detect") || SameIgnoringAsciiCase(kind, "DetectFile") ||
                             SameIgnoringAsciiCase(kind, "FileKey") || SameIgnoringAsciiCase(kind, "RegKey") ||
                             SameIgnoringAsciiCase(kind, "ExcludeKey");
        if (counted) {
            --m_budget.keys;
            m_open = ++m_keysInEntry <= kMostKeysPerEntry;
        }
        if (SameIgnoringAsciiCase(kind, "ExcludeKey") && value.empty() && !m_entry.unreadableExclusion)
            m_entry.unreadableExclusion = std::string(value);
        if (value.empty() || !m_open)
            return;
        if (SameIgnoringAsciiCase(kind, "Detect")) {
            m_detectKeys.push_back({number, std::string(value)});
        } else if (SameIgnoringAsciiCase(kind, "DetectFile")) {
            m_detectFiles.push_back({number, Folder(value)});
        } else if (SameIgnoringAsciiCase(kind, "FileKey")) {
            RuleFileKey fileKey;
            if (ParseFileKey(value, fileKey))
                m_fileKeys.push_back({number, std::move(fileKey)});
        } else if (SameIgnoringAsciiCase(kind, "RegKey")) {
            m_regKeys.push_back({number, ParseRegKey(value)});
        } else if (SameIgnoringAsciiCase(kind, "ExcludeKey")) {
            RuleExclusion exclusion;
            if (ParseExclusion(value, exclusion))
                m_exclusions.push_back({number, std::move(exclusion)});
            else if (!m_entry.unreadableExclusion)
                m_entry.unreadableExclusion = std::string(value);
        } else if (number == 0) {
            Setting(kind, value);
        }
    }

    void Setting(std::string_view kind, std::string_view value)
    {
        if (SameIgnoringAsciiCase(kind, "LangSecRef")) {
            int ref = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), ref);
            if (error == std::errc() && end == value.data() + value.size() && ref > 0)
                m_entry.langSecRef = ref;
        } else if (SameIgnoringAsciiCase(kind, "Section")) {
            m_entry.section = value;
        } else if (SameIgnoringAsciiCase(kind, "SpecialDetect")) {
            m_entry.specialDetect = true;
        } else if (SameIgnoringAsciiCase(kind, "DetectOS")) {
            m_entry.detectOs = value;
        } else if (SameIgnoringAsciiCase(kind, "Warning")) {
            m_entry.warning = value;
        } else if (m_builtIn && SameIgnoringAsciiCase(kind, "BrowserDatabase")) {
            m_entry.browserDatabase = value;
        }
    }

    void Finish()
    {
        if (m_open) {
            m_entry.detectKeys = InNumberOrder(m_detectKeys);
            m_entry.detectFiles = InNumberOrder(m_detectFiles);
            m_entry.fileKeys = InNumberOrder(m_fileKeys);
            m_entry.regKeys = InNumberOrder(m_regKeys);
            m_entry.exclusions = InNumberOrder(m_exclusions);
            m_entries.push_back(std::move(m_entry));
        }
        m_entry = RuleEntry();
        m_detectKeys.clear();
        m_detectFiles.clear();
        m_fileKeys.clear();
        m_regKeys.clear();
        m_exclusions.clear();
        m_keysInEntry = 0;
        m_open = false;
    }

    RuleBudget& m_budget;
    const bool m_builtIn;
    std::size_t m_keysInEntry = 0;
    std::vector<RuleEntry> m_entries;
    RuleEntry m_entry;
    bool m_open = false;
    std::vector<Numbered<std::string>> m_detectKeys;
    std::vector<Numbered<std::string>> m_detectFiles;
    std::vector<Numbered<RuleFileKey>> m_fileKeys;
    std::vector<Numbered<RuleRegKey>> m_regKeys;
    std::vector<Numbered<RuleExclusion>> m_exclusions;
};

struct Category {
    int ref;
    const char* name;
};
constexpr Category kCategories[] = {
    {3001, "Internet Explorer"}, {3005, "Microsoft Edge"}, {3006, "Microsoft Edge"}, {3021, "Applications"},
    {3022, "Internet"},          {3023, "Multimedia"},     {3024, "Utilities"},      {3025, "Windows"},
    {3026, "Firefox"},           {3027, "Opera"},          {3028, "Safari"},         {3029, "Google Chrome"},
    {3030, "Thunderbird"},       {3031, "Windows Store"},  {3033, "Vivaldi"},        {3034, "Brave"},
};

} // namespace

RuleRegKey ParseRegKey(std::string_view text)
{
    RuleRegKey reg;
    reg.text = Trimmed(text);
    const std::size_t bar = reg.text.find('|');
    std::string_view key = Trimmed(std::string_view(reg.text).substr(0, bar));
    while (!key.empty() && key.back() == '\\')
        key.remove_suffix(1);
    reg.key = key;
    if (bar != std::string::npos) {
        reg.hasValue = true;
        reg.value = Trimmed(std::string_view(reg.text).substr(bar + 1));
    }
    return reg;
}

namespace {

std::vector<RuleEntry> ParseRulesOf(std::string_view bytes, RuleBudget& budget, bool builtIn)
{
    std::string decoded;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        decoded = FromUtf16(bytes.substr(2));
        bytes = decoded;
    } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (budget.entries == 0 || budget.keys == 0)
        return {};
    CRuleReader reader(budget, builtIn);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        if (!reader.Line(bytes.substr(at, end - at)))
            break;
        at = end + 1;
    }
    return reader.Entries();
}

} // namespace

std::vector<RuleEntry> ParseRules(std::string_view bytes)
{
    RuleBudget budget;
    return ParseRulesOf(bytes, budget, false);
}

std::vector<RuleEntry> ParseRules(std::string_view bytes, RuleBudget& budget)
{
    return ParseRulesOf(bytes, budget, false);
}

std::vector<RuleEntry> ParseBuiltInRules(std::string_view bytes)
{
    RuleBudget budget;
    return ParseRulesOf(bytes, budget, true);
}

void MergeRules(std::vector<RuleEntry>& into, std::vector<RuleEntry>&& entries)
{
    std::unordered_map<std::string, std::size_t> byName;
    byName.reserve(into.size() + entries.size());
    for (std::size_t i = 0; i < into.size(); ++i)
        byName[Lowered(into[i].name)] = i;
    for (RuleEntry& entry : entries) {
        const auto [slot, added] = byName.try_emplace(Lowered(entry.name), into.size());
        if (added)
            into.push_back(std::move(entry));
        else
            into[slot->second] = std::move(entry);
    }
}

std::string RuleCategory(const RuleEntry& entry)
{
    if (!entry.section.empty())
        return entry.section;
    for (const Category& category : kCategories) {
        if (category.ref == entry.langSecRef)
            return category.name;
    }
    return "Other";
}
