#include "support/FixtureDatabase.h"

#include "sys/Platform.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {

class CRawDatabase {
public:
    CRawDatabase(const std::string& path, int flags)
    {
        if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~CRawDatabase() { sqlite3_close(m_db); }
    CRawDatabase(const CRawDatabase&) = delete;
    CRawDatabase& operator=(const CRawDatabase&) = delete;

    void Exec(const std::string& sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message ? message : "failed";
            sqlite3_free(message);
            throw std::runtime_error(text + ": " + sql);
        }
    }
    sqlite3* Get() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

} // namespace

void CreateFixtureDatabase(const std::string& path, unsigned schemaId, const std::string& rows)
{
    const std::string schema = Platform().LoadResourceData(schemaId);
    if (schema.empty())
        throw std::runtime_error("no fixture schema " + std::to_string(schemaId));
    CRawDatabase db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    db.Exec(schema);
    if (!rows.empty())
        db.Exec(rows);
}

std::vector<std::string> QueryTexts(const std::string& path, const std::string& sql)
{
    CRawDatabase db(path, SQLITE_OPEN_READONLY);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.Get(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot prepare " + sql);
    std::vector<std::string> texts;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        texts.emplace_back(text ? text : "");
    }
    sqlite3_finalize(statement);
    return texts;
}
