// The connection settings every browser database gets, and SQLite's errors as exceptions.
#include "engine/browsers/SqliteDatabase.h"

#include <sqlite3.h>

namespace {

// Bounds for a file another program wrote: no text or blob above 16 MiB is read, and the
// page cache stays at 8 MiB however large the file.
constexpr int kMostBytesPerValue = 16 * 1024 * 1024;
constexpr const char* kCacheSize = "PRAGMA cache_size=-8192";
// A browser that holds the file answers within this time; it is never waited for longer.
constexpr int kBusyMilliseconds = 250;

[[noreturn]] void Raise(sqlite3* db, int code)
{
    throw CSqliteError(code, db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

void Check(sqlite3* db, int code)
{
    if (code != SQLITE_OK)
        Raise(db, code);
}

} // namespace

bool CSqliteError::InUse() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool CSqliteError::Unreadable() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

CSqliteStatement::CSqliteStatement(sqlite3* db, const char* sql) : m_db(db)
{
    Check(m_db, sqlite3_prepare_v2(m_db, sql, -1, &m_stmt, nullptr));
}

CSqliteStatement::~CSqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void CSqliteStatement::Bind(int index, const std::string& text)
{
    Check(m_db, sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
}

void CSqliteStatement::Bind(int index, std::int64_t number)
{
    Check(m_db, sqlite3_bind_int64(m_stmt, index, number));
}

bool CSqliteStatement::Step()
{
    const int code = sqlite3_step(m_stmt);
    if (code == SQLITE_ROW)
        return true;
    if (code != SQLITE_DONE)
        Raise(m_db, sqlite3_extended_errcode(m_db));
    return false;
}

void CSqliteStatement::Run()
{
    while (Step()) {
    }
}

void CSqliteStatement::Reset()
{
    sqlite3_reset(m_stmt);
}

std::int64_t CSqliteStatement::Int(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string CSqliteStatement::Text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))) : std::string();
}

CSqliteDatabase::CSqliteDatabase(const std::string& path, bool readOnly) : m_readOnly(readOnly)
{
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_EXRESCODE;
    const int code = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (code != SQLITE_OK) {
        CSqliteError error(code, m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code));
        sqlite3_close(m_db);
        throw error;
    }
    try {
        Check(m_db, sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr));
        Check(m_db, sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr));
        sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, kMostBytesPerValue);
        sqlite3_busy_timeout(m_db, kBusyMilliseconds);
        Exec("PRAGMA secure_delete=ON");
        Exec(kCacheSize);
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

CSqliteDatabase::~CSqliteDatabase()
{
    // Closing the last connection checkpoints a WAL file into the database and removes it.
    sqlite3_close(m_db);
}

void CSqliteDatabase::Exec(const char* sql)
{
    Check(m_db, sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

std::int64_t CSqliteDatabase::QueryInt(const char* sql)
{
    CSqliteStatement query = Prepare(sql);
    return query.Step() ? query.Int(0) : 0;
}

std::int64_t CSqliteDatabase::Changes() const
{
    return sqlite3_changes64(m_db);
}

void CSqliteDatabase::CheckIntegrity()
{
    CSqliteStatement check = Prepare("PRAGMA quick_check(1)");
    if (!check.Step() || check.Text(0) != "ok")
        throw CSqliteError(SQLITE_CORRUPT, "the database is damaged");
}

bool CSqliteDatabase::HasTable(const std::string& table, const std::string& schema)
{
    CSqliteStatement query = Prepare("SELECT 1 FROM pragma_table_list WHERE type='table' AND name=?1 AND schema=?2");
    query.Bind(1, table);
    query.Bind(2, schema);
    return query.Step();
}

bool CSqliteDatabase::HasColumns(const std::string& table, std::initializer_list<const char*> columns,
                                 const std::string& schema)
{
    if (!HasTable(table, schema))
        return false;
    for (const char* column : columns) {
        CSqliteStatement query = Prepare("SELECT 1 FROM pragma_table_info(?1, ?3) WHERE name=?2");
        query.Bind(1, table);
        query.Bind(2, std::string(column));
        query.Bind(3, schema);
        if (!query.Step())
            return false;
    }
    return true;
}

void CSqliteDatabase::Attach(const std::string& path, const std::string& schema)
{
    // The connection's own open flags apply: a missing file is an error, never created.
    CSqliteStatement attach = Prepare("ATTACH DATABASE ?1 AS ?2");
    attach.Bind(1, path);
    attach.Bind(2, schema);
    attach.Run();
}

CSqliteTransaction::CSqliteTransaction(CSqliteDatabase& db) : m_db(db)
{
    m_db.Exec(m_db.ReadOnly() ? "BEGIN" : "BEGIN IMMEDIATE");
}

CSqliteTransaction::~CSqliteTransaction()
{
    if (m_open) {
        try {
            m_db.Exec("ROLLBACK");
        } catch (const CSqliteError&) {
            // SQLite has rolled back by itself after the failure that brought us here.
        }
    }
}

void CSqliteTransaction::Commit()
{
    m_db.Exec("COMMIT");
    m_open = false;
}
