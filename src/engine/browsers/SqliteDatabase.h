#pragma once
// One connection to a browser's SQLite database, opened the one safe way: never created,
// secure_delete on (removed rows are overwritten inside the file), no extension loading,
// the schema's own SQL functions untrusted, and bounded memory, since the file comes
// from another program.
//
// Usage:
//   CSqliteDatabase db(path);                      // raises CSqliteError
//   if (!db.HasColumns("moz_places", {"id", "url", "foreign_count"})) ... // not understood
//   CSqliteTransaction transaction(db);            // rolled back unless committed
//   CSqliteStatement remove = db.Prepare("DELETE FROM moz_historyvisits");
//   remove.Run();
//   transaction.Commit();
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// A failure of SQLite, with its extended result code.
class CSqliteError : public std::runtime_error {
public:
    CSqliteError(int code, const std::string& what) : std::runtime_error(what), m_code(code) {}
    int Code() const { return m_code; }
    // "Busy" or "locked": another program (the browser) holds the database.
    bool InUse() const;
    // Corrupt, encrypted or not a database at all.
    bool Unreadable() const;

private:
    int m_code;
};

class CSqliteStatement {
public:
    CSqliteStatement(sqlite3* db, const char* sql);
    ~CSqliteStatement();
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;
    CSqliteStatement(CSqliteStatement&& other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt)
    {
        other.m_stmt = nullptr;
    }

    // Parameters count from 1.
    void Bind(int index, const std::string& text);
    void Bind(int index, std::int64_t number);
    // The next row: true while there is one.
    bool Step();
    // Steps to the end; for a statement without rows.
    void Run();
    // Back to before the first row, the parameters kept.
    void Reset();
    // Columns count from 0.
    std::int64_t Int(int column) const;
    std::string Text(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

class CSqliteDatabase {
public:
    // Opens an existing file; readOnly for a look that must change nothing.
    explicit CSqliteDatabase(const std::string& path, bool readOnly = false);
    ~CSqliteDatabase();
    CSqliteDatabase(const CSqliteDatabase&) = delete;
    CSqliteDatabase& operator=(const CSqliteDatabase&) = delete;

    CSqliteStatement Prepare(const char* sql) { return CSqliteStatement(m_db, sql); }
    void Exec(const char* sql);
    // A single number a query gives (a count, say); 0 when it gives no row.
    std::int64_t QueryInt(const char* sql);
    // Rows changed by the last statement.
    std::int64_t Changes() const;
    // The file answers a quick check with "ok": raises CSqliteError when it does not.
    void CheckIntegrity();
    // schema: "main", or the name a file was attached under.
    bool ReadOnly() const { return m_readOnly; }
    bool HasTable(const std::string& table, const std::string& schema = "main");
    // The table exists and has every column named.
    bool HasColumns(const std::string& table, std::initializer_list<const char*> columns,
                    const std::string& schema = "main");
    // Opens another existing file in this connection under the schema name, so that one
    // transaction spans both; outside a transaction only.
    void Attach(const std::string& path, const std::string& schema);

private:
    sqlite3* m_db = nullptr;
    bool m_readOnly;
};

// BEGIN IMMEDIATE: the write lock is taken at once, so that a browser holding the file
// answers "busy" before anything is read. On a read-only connection, a read transaction:
// one consistent look. Rolled back on destruction unless committed.
class CSqliteTransaction {
public:
    explicit CSqliteTransaction(CSqliteDatabase& db);
    ~CSqliteTransaction();
    CSqliteTransaction(const CSqliteTransaction&) = delete;
    CSqliteTransaction& operator=(const CSqliteTransaction&) = delete;
    void Commit();

private:
    CSqliteDatabase& m_db;
    bool m_open = true;
};
