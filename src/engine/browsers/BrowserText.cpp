#include "engine/browsers/BrowserText.h"

#include "sys/TextFormat.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

// "1 history entry", "2 history entries": the count and the noun that fits it.
std::string Counted(std::int64_t count, const char* one, const char* many)
{
    return GroupedDigits(count) + " " + (count == 1 ? one : many);
}

std::string LeftSuffix(bool preview)
{
    return preview ? ", so it would be left as it is" : ", so it was left as it was";
}

} // namespace

std::string RowsLine(DatabaseWording wording, const std::string& path, const DatabaseCounts& counts, bool preview)
{
    const char* removed = preview ? " would be removed" : " removed";
    std::string line = path + " - ";
    switch (wording) {
    case DatabaseWording::History:
        line += Counted(counts.removed, "history entry", "history entries") + removed + " (" +
                Counted(counts.kept, "bookmark", "bookmarks") + " kept)";
        break;
    case DatabaseWording::FormHistory:
        line += Counted(counts.removed, "form history entry", "form history entries") + removed;
        break;
    case DatabaseWording::Cookies:
        line += Counted(counts.removed, "cookie", "cookies") + removed + ", " + GroupedDigits(counts.kept) + " kept";
        break;
    }
    return line + kLineEnd;
}

std::string InUseQuestion(const std::string& browser)
{
    return browser + " is open. Close it and press Retry, or press Skip to leave its data this time.";
}

std::string InUseLine(const std::string& browser, const std::string& path, bool preview)
{
    return "INFO: " + browser + " has " + path + " open" + LeftSuffix(preview) + kLineEnd;
}

std::string KeepListUnreadableLine(const std::string& entry, bool preview)
{
    return "INFO: '" + entry + "': the list of sites to keep could not be read" +
           (preview ? ", so it would be skipped" : ", so it was skipped") + kLineEnd;
}

std::string LeftAsItWasLine(DatabaseTrouble trouble, const std::string& path, const std::string& detail, bool preview)
{
    std::string line = "INFO: " + path;
    switch (trouble) {
    case DatabaseTrouble::Unreadable:
        line += " is damaged, encrypted or not a database";
        break;
    case DatabaseTrouble::UnknownSchema:
        line += " has tables or columns this version does not know";
        break;
    case DatabaseTrouble::Failed:
        line += " could not be changed (" + detail + ")";
        break;
    }
    return line + LeftSuffix(preview) + kLineEnd;
}
