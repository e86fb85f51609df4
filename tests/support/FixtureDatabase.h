#pragma once
// Browser databases built for a test from the browsers' real schemas (tests/fixtures/browsers),
// through SQLite itself, and read back the same way.
#include <string>

namespace fixturedb {

// Creates the database file from one of the test program's SQL resources (FixtureIds.h).
void Build(const std::string& path, unsigned sqlResource);
// Runs statements on an existing database, as the browser would.
void Exec(const std::string& path, const std::string& sql);
// The rows a query gives, each row's columns joined by '|', rows by '\n'.
std::string Rows(const std::string& path, const std::string& sql);
// The bytes of the file and of its WAL and journal, if there are any.
std::string BytesWithCompanions(const std::string& path);

} // namespace fixturedb
