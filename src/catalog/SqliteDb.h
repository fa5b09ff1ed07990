#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace catalog {

// A thin owner of a SQLite connection and its statements: the C API with its
// handles closed on every path, and errors as the library's own texts.
class SqliteStatement;

class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Opens or creates the file; false with Error() set.
    [[nodiscard]] bool Open(const std::string& path, bool create);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // Runs one or more statements without results.
    [[nodiscard]] bool Exec(std::string_view sql);
    // The first column of the first row of a query as an integer; fallback when
    // the query fails or has no row.
    int64_t QueryInt(std::string_view sql, int64_t fallback = 0);

    const std::string& Error() const { return error_; }
    int ErrorCode() const { return errorCode_; }  // primary result code of the last failure
    sqlite3* Handle() const { return db_; }
    int64_t LastInsertId() const;
    int Changes() const;

    void SetError(int code);

private:
    sqlite3* db_ = nullptr;
    std::string error_;
    int errorCode_ = 0;
};

class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(SqliteDb& db, std::string_view sql) { Prepare(db, sql); }
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Prepare(SqliteDb& db, std::string_view sql);
    bool IsValid() const { return stmt_ != nullptr; }

    // Parameters are 1-based, as in SQL.
    void Bind(int index, int64_t value);
    void Bind(int index, std::string_view text);  // copied
    void BindBlob(int index, std::string_view bytes);
    void BindNull(int index);

    // true while there is a row; false at the end or on an error (see Failed).
    bool Step();
    // Runs a statement without rows; false on an error.
    bool Run();
    bool Failed() const { return failed_; }
    void Reset();  // ready to run again; the bindings stay

    int64_t Int(int column) const;
    std::string_view Text(int column) const;
    bool IsNull(int column) const;

private:
    SqliteDb* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
};

// Rolls back unless committed: a failure or an exception anywhere inside
// leaves the database as it was before Begin.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDb& db);
    ~SqliteTransaction();
    bool Began() const { return began_; }
    [[nodiscard]] bool Commit();

private:
    SqliteDb& db_;
    bool began_ = false;
    bool done_ = false;
};

}  // namespace catalog
