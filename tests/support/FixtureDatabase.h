#pragma once
// A browser's database built for a test from its schema file, and direct looks into it,
// through SQLite itself rather than the program's connection.
//
// Usage:
//   CreateFixtureDatabase(path, IDR_FIXTURE_CHROMIUM_COOKIES, "INSERT INTO cookies ...");
//   std::vector<std::string> hosts = QueryTexts(path, "SELECT host_key FROM cookies ORDER BY 1");
#include "support/FixtureIds.h"

#include <string>
#include <vector>

// A new database file at `path` with the schema of the embedded fixture, then `rows`.
void CreateFixtureDatabase(const std::string& path, unsigned schemaId, const std::string& rows = {});
// The first column of every row the query gives.
std::vector<std::string> QueryTexts(const std::string& path, const std::string& sql);
