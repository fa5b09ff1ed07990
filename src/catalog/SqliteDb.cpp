#include "catalog/SqliteDb.h"

#include <sqlite3.h>

namespace catalog {

SqliteDb::~SqliteDb() {
    Close();
}

bool SqliteDb::Open(const std::string& path, bool create) {
    Close();
    error_.clear();
    errorCode_ = 0;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) |
                      SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        errorCode_ = rc & 0xff;
        error_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        Close();
        return false;
    }
    return true;
}

void SqliteDb::Close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqliteDb::Exec(std::string_view sql) {
    const std::string text(sql);
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        errorCode_ = rc & 0xff;
        error_ = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        return false;
    }
    return true;
}

int64_t SqliteDb::QueryInt(std::string_view sql, int64_t fallback) {
    SqliteStatement statement(*this, sql);
    if (!statement.Step()) return fallback;
    return statement.Int(0);
}

int64_t SqliteDb::LastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

int SqliteDb::Changes() const {
    return sqlite3_changes(db_);
}

void SqliteDb::SetError(int code) {
    errorCode_ = code & 0xff;
    error_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

bool SqliteStatement::Prepare(SqliteDb& db, std::string_view sql) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    db_ = &db;
    failed_ = false;
    const int rc = sqlite3_prepare_v3(db.Handle(), sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        db.SetError(rc);
        failed_ = true;
        stmt_ = nullptr;
        return false;
    }
    return true;
}

void SqliteStatement::Bind(int index, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
}

void SqliteStatement::Bind(int index, std::string_view text) {
    if (stmt_) {
        sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
}

void SqliteStatement::BindBlob(int index, std::string_view bytes) {
    if (stmt_) sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

void SqliteStatement::BindNull(int index) {
    if (stmt_) sqlite3_bind_null(stmt_, index);
}

bool SqliteStatement::Step() {
    if (!stmt_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) {
        failed_ = true;
        db_->SetError(rc);
    }
    return false;
}

bool SqliteStatement::Run() {
    if (!stmt_) return false;
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW) return true;
    failed_ = true;
    db_->SetError(rc);
    return false;
}

void SqliteStatement::Reset() {
    if (stmt_) sqlite3_reset(stmt_);
}

int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string_view SqliteStatement::Text(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::string_view(data, static_cast<size_t>(size)) : std::string_view();
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) {
    // IMMEDIATE takes the write lock now, so a second writer waits in the busy
    // timeout here rather than failing half-way through.
    began_ = db_.Exec("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    if (began_ && !done_) (void)db_.Exec("ROLLBACK");
}

bool SqliteTransaction::Commit() {
    if (!began_ || done_) return false;
    done_ = db_.Exec("COMMIT");
    return done_;
}

}  // namespace catalog
