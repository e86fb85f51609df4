#pragma once
// Every report line, question and INFO line about browser databases.
#include "engine/browsers/DatabaseCounts.h"

#include <string>

// How a database's rows are named in its line.
enum class DatabaseWording {
    History,     // "... history entries removed (n bookmarks kept)"
    FormHistory, // "... form history entries removed"
    Cookies,     // "... cookies removed, n kept"
};

// Why a database was left as it was.
enum class DatabaseTrouble {
    Unreadable,    // corrupt, encrypted, or not a database
    UnknownSchema, // lacks a table or column the cleaner needs
    Failed,        // the change failed halfway and was rolled back
};

// "<path> - 1,234 history entries removed (312 bookmarks kept)"; a preview says "would be removed".
std::string RowsLine(DatabaseWording wording, const std::string& path, const DatabaseCounts& counts, bool preview);
// The window's question while the browser has the profile open.
std::string InUseQuestion(const std::string& browser);
// The line for a database left because its browser had it open.
std::string InUseLine(const std::string& browser, const std::string& path, bool preview);
// The INFO line for an entry of the sites to keep, when the stored list cannot be read.
std::string KeepListUnreadableLine(const std::string& entry, bool preview);
// The INFO line for a database left as it was; detail: what SQLite said, for Failed.
std::string LeftAsItWasLine(DatabaseTrouble trouble, const std::string& path, const std::string& detail, bool preview);
