#include "support/FixtureDatabase.h"

#include "support/TestEnv.h"
#include "sys/Platform.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace fixturedb {

namespace {

// A connection of the test's own, which may create the file.
class CConnection {
public:
    CConnection(const std::string& path, bool create)
    {
        const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
        EXPECT_EQ(sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr), SQLITE_OK) << path;
    }
    ~CConnection() { sqlite3_close(m_db); }
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;

    void Exec(const std::string& sql)
    {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
    }

    std::string Rows(const std::string& sql)
    {
        std::string rows;
        const auto collect = [](void* out, int columns, char** values, char**) {
            std::string& text = *static_cast<std::string*>(out);
            for (int i = 0; i < columns; ++i) {
                if (i > 0)
                    text += '|';
                text += values[i] ? values[i] : "NULL";
            }
            text += "\n";
            return 0;
        };
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), collect, &rows, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace

void Build(const std::string& path, unsigned sqlResource)
{
    const std::string sql = Platform().LoadResourceData(sqlResource);
    ASSERT_FALSE(sql.empty()) << sqlResource;
    CConnection(path, true).Exec(sql);
}

void Exec(const std::string& path, const std::string& sql)
{
    CConnection(path, false).Exec(sql);
}

std::string Rows(const std::string& path, const std::string& sql)
{
    return CConnection(path, false).Rows(sql);
}

std::string BytesWithCompanions(const std::string& path)
{
    std::string bytes;
    for (const char* suffix : {"", "-wal", "-journal"}) {
        if (testenv::FileExists(path + suffix))
            bytes += testenv::ReadFile(path + suffix);
    }
    return bytes;
}

} // namespace fixturedb
