#pragma once
// Firefox's history removed inside its databases, bookmarks kept; and its form history.
//
// Usage (through CDatabaseRunner, which holds the transaction):
//   {profile + "\\places.sqlite", {{kFaviconsSchema, profile + "\\favicons.sqlite"}},
//    DatabaseWording::History, CleanFirefoxHistory}
#include "engine/browsers/DatabaseCounts.h"
#include "engine/browsers/SqliteDatabase.h"

// The schema name favicons.sqlite is attached under, beside places.sqlite.
inline constexpr const char* kFaviconsSchema = "favicons";

// places.sqlite: every visit, the input history and the page metadata; the places no
// bookmark or keyword refers to and the origins no place is left in; the visit counts and
// dates of the places kept; in favicons.sqlite when attached, the icons of the pages
// removed. Counts the visits removed and the bookmarks kept.
DatabaseCounts CleanFirefoxHistory(CSqliteDatabase& db, bool preview);

// formhistory.sqlite: every saved form entry and the sources it was saved from.
DatabaseCounts CleanFirefoxFormHistory(CSqliteDatabase& db, bool preview);
