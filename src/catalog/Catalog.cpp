#include "catalog/Catalog.h"

#include <ctime>
#include <unordered_map>

#include "catalog/NameChunks.h"
#include "disc/SetIndexFormat.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace catalog {

namespace {

// "CVLN": tells our catalog apart from any other SQLite file at that path.
constexpr int64_t kApplicationId = 0x43564C4E;

const char* const kSchema = R"sql(
CREATE TABLE sets(
    id INTEGER PRIMARY KEY, uid TEXT NOT NULL UNIQUE, name TEXT NOT NULL,
    created_at INTEGER NOT NULL, recorded_at INTEGER NOT NULL, pack_size INTEGER NOT NULL,
    medium TEXT NOT NULL, capacity INTEGER NOT NULL, target TEXT NOT NULL,
    first_file INTEGER NOT NULL, last_file INTEGER NOT NULL);
CREATE TABLE discs(
    id INTEGER PRIMARY KEY, set_id INTEGER NOT NULL, number INTEGER NOT NULL,
    label TEXT NOT NULL, state INTEGER NOT NULL, written_at INTEGER NOT NULL,
    verified_at INTEGER NOT NULL, reason TEXT NOT NULL,
    file_count INTEGER NOT NULL, bytes INTEGER NOT NULL);
CREATE INDEX discs_by_set ON discs(set_id);
CREATE TABLE folders(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE);
CREATE TABLE disc_folders(id INTEGER PRIMARY KEY, set_id INTEGER NOT NULL, path TEXT NOT NULL);
CREATE INDEX disc_folders_by_set ON disc_folders(set_id);
CREATE TABLE files(
    id INTEGER PRIMARY KEY, disc_id INTEGER NOT NULL, folder_id INTEGER NOT NULL,
    name TEXT NOT NULL, disc_folder_id INTEGER NOT NULL, disc_name TEXT,
    size INTEGER NOT NULL, mtime INTEGER NOT NULL, sha256 BLOB);
CREATE INDEX files_at ON files(folder_id, name);
CREATE VIRTUAL TABLE name_index USING fts5(
    name, content='files', content_rowid='id', tokenize='trigram', detail='none');
CREATE VIRTUAL TABLE folder_index USING fts5(
    path, content='folders', content_rowid='id', tokenize='trigram', detail='none');
CREATE TABLE name_chunks(id INTEGER PRIMARY KEY, names BLOB NOT NULL);
)sql";

// The tables a catalog of a version holds from that version on.
struct Table {
    const char* name;
    int since;
};
const Table kTables[] = {{"sets", 1},  {"discs", 1},      {"folders", 1},      {"disc_folders", 1},
                         {"files", 1}, {"name_index", 1}, {"folder_index", 1}, {"name_chunks", 2}};

// Steps from one schema version to the next: kMigrations[v - 1] takes a
// catalog of version v to v + 1; a change of the schema adds its step here and
// raises Catalog::kSchemaVersion. fill, when set, computes the new tables'
// rows from the old ones.
struct Migration {
    const char* sql;
    bool (*fill)(SqliteDb& db);
};
const Migration kMigrations[] = {
    {"CREATE TABLE name_chunks(id INTEGER PRIMARY KEY, names BLOB NOT NULL)",
     [](SqliteDb& db) { return NameChunks(db).FillFromFiles(); }},
};
static_assert(std::size(kMigrations) == Catalog::kSchemaVersion - 1);

std::string Bytes(std::u16string_view text) {
    return zel::EncodeFileName(text);
}

std::u16string Text(std::string_view bytes) {
    return zel::DecodeFileName(bytes);
}

// Splits "/a/b/c.txt" into "/a/b" and "c.txt"; the root's folder is "".
std::pair<std::string_view, std::string_view> SplitPath(std::string_view path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {std::string_view(), path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

bool HexToBytes(std::string_view hex, std::string& out) {
    out.clear();
    if (hex.size() != 64) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (size_t j = i; j < i + 2; ++j) {
            const char c = hex[j];
            value <<= 4;
            if (c >= '0' && c <= '9') {
                value |= c - '0';
            } else if (c >= 'a' && c <= 'f') {
                value |= c - 'a' + 10;
            } else {
                return false;
            }
        }
        out += static_cast<char>(value);
    }
    return true;
}

std::string BytesToHex(std::string_view bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::string TimeSuffix() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
    return buffer;
}

// Assigns row ids to paths within one recording, looking each path up once.
class PathRows {
public:
    PathRows(SqliteDb& db, const char* find, const char* insert)
        : find_(db, find), insert_(db, insert) {}
    // set is bound as the second value of both statements when not zero.
    int64_t RowOf(SqliteDb& db, std::string_view path, int64_t set = 0) {
        auto found = rows_.find(std::string(path));
        if (found != rows_.end()) return found->second;
        int64_t row = 0;
        if (find_.IsValid() && set == 0) {
            find_.Bind(1, path);
            if (find_.Step()) row = find_.Int(0);
            const bool failed = find_.Failed();
            find_.Reset();
            if (failed) return 0;
        }
        if (row == 0) {
            insert_.Bind(1, path);
            if (set != 0) insert_.Bind(2, set);
            if (!insert_.Run()) return 0;
            row = db.LastInsertId();
        }
        rows_.emplace(std::string(path), row);
        return row;
    }

private:
    SqliteStatement find_;
    SqliteStatement insert_;
    std::unordered_map<std::string, int64_t> rows_;
};

}  // namespace

void AppendEscapedField(std::string_view text, std::string& out) {
    AppendIndexField(text, out);
}

bool Catalog::Fail(const std::string& what) {
    error_ = what;
    if (!db_.Error().empty()) error_ += " (" + db_.Error() + ")";
    return false;
}

bool Catalog::Open(const std::string& path) {
    path_ = path;
    notice_.clear();
    error_.clear();
    // Missing folders on the way are made private to the user, as the profile's are.
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        (void)zel::IFileSystem::Default().MakeFolder(path.substr(0, slash), 0700);
    }
    bool unusable = false;
    if (OpenFile(path, unusable)) return true;
    if (!unusable) return false;
    const std::string why = error_;
    if (!SetAside(why)) return false;
    unusable = false;
    return OpenFile(path, unusable);
}

bool Catalog::OpenFile(const std::string& path, bool& unusable) {
    if (!db_.Open(path, true))
        return Fail(TrFormat("カタログを開けませんでした: {path}", fmt::arg("path", path)));
    // The window and the command line may write at the same time: the second
    // waits for the first instead of failing.
    (void)db_.Exec("PRAGMA busy_timeout = 10000");
    const auto damaged = [&](const std::string& why) {
        unusable = true;
        error_ = why;
        db_.Close();
        return false;
    };
    SqliteStatement probe(db_, "PRAGMA application_id");
    if (!probe.Step()) {
        const int code = db_.ErrorCode();
        if (code == 26 /* SQLITE_NOTADB */ || code == 11 /* SQLITE_CORRUPT */) {
            return damaged(Tr("カタログ ファイルが壊れているか、カタログではありません"));
        }
        return Fail(TrFormat("カタログを読めませんでした: {path}", fmt::arg("path", path)));
    }
    const int64_t applicationId = probe.Int(0);
    probe.Reset();
    const int64_t version = db_.QueryInt("PRAGMA user_version", -1);
    const int64_t objects = db_.QueryInt("SELECT count(*) FROM sqlite_master", -1);
    if (version < 0 || objects < 0) {
        // Only a file SQLite calls damaged is set aside, never one that is
        // merely locked or unreadable for now.
        const int code = db_.ErrorCode();
        if (code == 26 /* SQLITE_NOTADB */ || code == 11 /* SQLITE_CORRUPT */) {
            return damaged(Tr("カタログ ファイルが壊れています"));
        }
        return Fail(TrFormat("カタログを読めませんでした: {path}", fmt::arg("path", path)));
    }
    if (applicationId == 0 && version == 0 && objects == 0) {
        if (!db_.Exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL")) {
            return Fail(Tr("カタログを準備できませんでした"));
        }
        return CreateSchema();
    }
    if (applicationId != kApplicationId) {
        return damaged(Tr("このファイルは Corvelin のカタログではありません"));
    }
    if (version > kSchemaVersion) {
        return damaged(TrFormat("カタログが新しい版の Corvelin で作られています (版 {version})",
                                fmt::arg("version", version)));
    }
    std::string names;
    int64_t expected = 0;
    for (const Table& table : kTables) {
        if (table.since > version) continue;
        names += std::string(names.empty() ? "'" : ",'") + table.name + "'";
        ++expected;
    }
    const int64_t tables =
        db_.QueryInt("SELECT count(*) FROM sqlite_master WHERE name IN (" + names + ")", -1);
    if (tables != expected) {
        return damaged(Tr("カタログの表が欠けています"));
    }
    if (!db_.Exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; "
                  "PRAGMA cache_size = -65536; PRAGMA temp_store = MEMORY")) {
        return Fail(Tr("カタログを準備できませんでした"));
    }
    return version < kSchemaVersion ? Migrate(static_cast<int>(version)) : true;
}

bool Catalog::CreateSchema() {
    SqliteTransaction transaction(db_);
    if (!transaction.Began()) return Fail(Tr("カタログを作成できませんでした"));
    // Another process may have made it while this one waited for the lock.
    if (db_.QueryInt("SELECT count(*) FROM sqlite_master") > 0) {
        return db_.Exec("PRAGMA cache_size = -65536; PRAGMA temp_store = MEMORY");
    }
    if (!db_.Exec(kSchema) ||
        !db_.Exec("PRAGMA application_id = " + std::to_string(kApplicationId) +
                  "; PRAGMA user_version = " + std::to_string(kSchemaVersion)) ||
        !transaction.Commit()) {
        return Fail(Tr("カタログを作成できませんでした"));
    }
    return db_.Exec("PRAGMA cache_size = -65536; PRAGMA temp_store = MEMORY");
}

bool Catalog::Migrate(int from) {
    SqliteTransaction transaction(db_);
    if (!transaction.Began()) return Fail(Tr("カタログを更新できませんでした"));
    // Another process may have brought it up to date while this one waited.
    from = static_cast<int>(db_.QueryInt("PRAGMA user_version", from));
    if (from >= kSchemaVersion) return true;
    for (int version = from; version < kSchemaVersion; ++version) {
        const Migration& step = kMigrations[version - 1];
        if (!db_.Exec(step.sql) || (step.fill && !step.fill(db_))) {
            return Fail(Tr("カタログを更新できませんでした"));
        }
    }
    if (!db_.Exec("PRAGMA user_version = " + std::to_string(kSchemaVersion)) ||
        !transaction.Commit()) {
        return Fail(Tr("カタログを更新できませんでした"));
    }
    return true;
}

bool Catalog::SetAside(const std::string& why) {
    db_.Close();
    zel::IFileSystem& fs = zel::IFileSystem::Default();
    const std::string aside = path_ + ".old-" + TimeSuffix();
    if (const int error = fs.Rename(path_, aside); error != 0) {
        error_ = TrFormat("{why}。別の名前で残せませんでした: {reason}", fmt::arg("why", why),
                          fmt::arg("reason", zel::ErrorText(error)));
        return false;
    }
    // The journal belongs to the old file; a fresh catalog must not replay it.
    (void)fs.Rename(path_ + "-wal", aside + "-wal");
    (void)fs.Remove(path_ + "-shm");
    notice_ = TrFormat(
        "{why}。新しいカタログを作成しました。元のファイルは {path} として残してあります。",
        fmt::arg("why", why), fmt::arg("path", aside));
    return true;
}

bool Catalog::Record(const DiscSet& set) {
    error_.clear();
    SqliteTransaction transaction(db_);
    if (!transaction.Began()) return Fail(Tr("カタログに記録できませんでした"));
    if (!RecordRows(set)) return false;
    return transaction.Commit() || Fail(Tr("カタログに記録できませんでした"));
}

bool Catalog::RecordPack(const DiscSet& set, uint32_t pack) {
    error_.clear();
    SqliteTransaction transaction(db_);
    if (!transaction.Began()) return Fail(Tr("カタログに記録できませんでした"));
    bool matched = false;
    if (!UpdatePack(set, pack, matched)) return false;
    if (!matched && !RecordRows(set)) return false;
    return transaction.Commit() || Fail(Tr("カタログに記録できませんでした"));
}

// The set's record is only brought up to date when it holds the same files
// and packs, the files at the same rows; matched tells whether it did.
bool Catalog::UpdatePack(const DiscSet& set, uint32_t pack, bool& matched) {
    matched = false;
    SqliteStatement earlier(db_, "SELECT id, first_file, last_file FROM sets WHERE uid = ?");
    earlier.Bind(1, set.id);
    if (!earlier.Step()) return !earlier.Failed() || Fail(Tr("カタログに記録できませんでした"));
    const int64_t setRow = earlier.Int(0);
    const int64_t first = earlier.Int(1);
    if (earlier.Int(2) - first + 1 != static_cast<int64_t>(set.files.size())) return true;
    earlier.Reset();

    // A set's files never change after it is made, only their checksums: the
    // same packs, and as many files on the pack's disc, mean the rows hold
    // this set's files.
    std::unordered_map<uint32_t, std::pair<int64_t, int64_t>> discRows;  // row, files
    SqliteStatement discs(db_, "SELECT number, id, file_count FROM discs WHERE set_id = ?");
    discs.Bind(1, setRow);
    while (discs.Step())
        discRows[static_cast<uint32_t>(discs.Int(0))] = {discs.Int(1), discs.Int(2)};
    if (discs.Failed()) return Fail(Tr("カタログに記録できませんでした"));
    if (discRows.size() != set.packs.size() || discRows.count(pack) == 0) return true;
    for (const DiscSetPack& each : set.packs) {
        if (discRows.count(each.number) == 0) return true;
    }

    // Every pack's state, since one that failed was not recorded on its own.
    SqliteStatement updateDisc(db_,
                               "UPDATE discs SET label = ?, state = ?, written_at = ?, "
                               "verified_at = ?, reason = ? WHERE id = ?");
    for (const DiscSetPack& each : set.packs) {
        updateDisc.Bind(1, Bytes(each.label));
        updateDisc.Bind(2, static_cast<int64_t>(each.state));
        updateDisc.Bind(3, each.writtenAt);
        updateDisc.Bind(4, each.verifiedAt);
        updateDisc.Bind(5, Bytes(each.reason));
        updateDisc.Bind(6, discRows[each.number].first);
        if (!updateDisc.Run()) return Fail(Tr("カタログに記録できませんでした"));
    }
    // Counted while written: a mismatch leaves these changes to the whole
    // recording that follows in the same transaction, which replaces them.
    SqliteStatement updateFile(db_,
                               "UPDATE files SET sha256 = ?1 WHERE id = ?2 AND sha256 IS NOT ?1");
    std::string digest;
    int64_t count = 0;
    for (size_t i = 0; i < set.files.size(); ++i) {
        const DiscSetFile& file = set.files[i];
        if (file.pack != pack) continue;
        ++count;
        if (file.sha256.empty()) {
            updateFile.BindNull(1);
        } else if (HexToBytes(file.sha256, digest)) {
            updateFile.BindBlob(1, digest);
        } else {
            error_ = TrFormat("チェックサムが正しくありません: {path}",
                              fmt::arg("path", Bytes(file.diskPath)));
            return false;
        }
        updateFile.Bind(2, first + static_cast<int64_t>(i));
        if (!updateFile.Run()) return Fail(Tr("カタログに記録できませんでした"));
    }
    if (count != discRows[pack].second) return true;
    SqliteStatement updateSet(db_, "UPDATE sets SET recorded_at = ? WHERE id = ?");
    updateSet.Bind(1, static_cast<int64_t>(std::time(nullptr)));
    updateSet.Bind(2, setRow);
    if (!updateSet.Run()) return Fail(Tr("カタログに記録できませんでした"));
    matched = true;
    return true;
}

bool Catalog::RecordRows(const DiscSet& set) {
    SqliteStatement earlier(db_, "SELECT id FROM sets WHERE uid = ?");
    earlier.Bind(1, set.id);
    if (earlier.Step()) {
        const int64_t row = earlier.Int(0);
        earlier.Reset();
        if (!DeleteSetRows(row)) return false;
    }

    SqliteStatement insertSet(db_,
                              "INSERT INTO sets(uid, name, created_at, recorded_at, pack_size, "
                              "medium, capacity, target, first_file, last_file) "
                              "VALUES(?, ?, ?, ?, ?, ?, ?, ?, 0, -1)");
    insertSet.Bind(1, set.id);
    insertSet.Bind(2, Bytes(set.name));
    insertSet.Bind(3, set.createdAt);
    insertSet.Bind(4, static_cast<int64_t>(std::time(nullptr)));
    insertSet.Bind(5, static_cast<int64_t>(set.packSize));
    insertSet.Bind(6, Bytes(set.medium));
    insertSet.Bind(7, static_cast<int64_t>(set.capacity));
    insertSet.Bind(8, Bytes(set.target));
    if (!insertSet.Run()) return Fail(Tr("カタログに記録できませんでした"));
    const int64_t setRow = db_.LastInsertId();

    // Per pack: its row, file count and bytes.
    struct PackRow {
        int64_t row = 0;
        int64_t files = 0;
        uint64_t bytes = 0;
    };
    std::unordered_map<uint32_t, PackRow> packs;
    SqliteStatement insertDisc(db_,
                               "INSERT INTO discs(set_id, number, label, state, written_at, "
                               "verified_at, reason, file_count, bytes) "
                               "VALUES(?, ?, ?, ?, ?, ?, ?, 0, 0)");
    for (const DiscSetPack& pack : set.packs) {
        insertDisc.Bind(1, setRow);
        insertDisc.Bind(2, static_cast<int64_t>(pack.number));
        insertDisc.Bind(3, Bytes(pack.label));
        insertDisc.Bind(4, static_cast<int64_t>(pack.state));
        insertDisc.Bind(5, pack.writtenAt);
        insertDisc.Bind(6, pack.verifiedAt);
        insertDisc.Bind(7, Bytes(pack.reason));
        if (!packs.emplace(pack.number, PackRow{}).second) {
            error_ = TrFormat("パック番号が重複しています: {pack}", fmt::arg("pack", pack.number));
            return false;
        }
        if (!insertDisc.Run()) return Fail(Tr("カタログに記録できませんでした"));
        packs[pack.number].row = db_.LastInsertId();
    }

    const int64_t foldersBefore = db_.QueryInt("SELECT coalesce(max(id), 0) FROM folders");
    PathRows folders(db_, "SELECT id FROM folders WHERE path = ?",
                     "INSERT INTO folders(path) VALUES(?)");
    PathRows discFolders(db_, "", "INSERT INTO disc_folders(path, set_id) VALUES(?, ?)");
    SqliteStatement insertFile(db_,
                               "INSERT INTO files(disc_id, folder_id, name, disc_folder_id, "
                               "disc_name, size, mtime, sha256) VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    if (!insertFile.IsValid()) return Fail(Tr("カタログに記録できませんでした"));
    NameChunks chunks(db_);
    int64_t firstFile = 0;
    int64_t lastFile = -1;
    std::string diskPath;
    std::string discPath;
    std::string digest;
    for (const DiscSetFile& file : set.files) {
        auto pack = packs.find(file.pack);
        if (pack == packs.end()) {
            error_ = TrFormat("ファイルのパック番号がセットにありません: {pack}",
                              fmt::arg("pack", file.pack));
            return false;
        }
        if (!file.sha256.empty() && !HexToBytes(file.sha256, digest)) {
            error_ = TrFormat("チェックサムが正しくありません: {path}",
                              fmt::arg("path", Bytes(file.diskPath)));
            return false;
        }
        diskPath = Bytes(file.diskPath);
        discPath = Bytes(file.discPath);
        const auto [folder, name] = SplitPath(diskPath);
        const auto [discFolder, discName] = SplitPath(discPath);
        const int64_t folderRow = folders.RowOf(db_, folder);
        const int64_t discFolderRow = discFolders.RowOf(db_, discFolder, setRow);
        if (folderRow == 0 || discFolderRow == 0) return Fail(Tr("カタログに記録できませんでした"));
        insertFile.Bind(1, pack->second.row);
        insertFile.Bind(2, folderRow);
        insertFile.Bind(3, name);
        insertFile.Bind(4, discFolderRow);
        if (discName == name) {
            insertFile.BindNull(5);
        } else {
            insertFile.Bind(5, discName);
        }
        insertFile.Bind(6, static_cast<int64_t>(file.size));
        insertFile.Bind(7, file.mtimeNs);
        if (file.sha256.empty()) {
            insertFile.BindNull(8);
        } else {
            insertFile.BindBlob(8, digest);
        }
        if (!insertFile.Run()) return Fail(Tr("カタログに記録できませんでした"));
        lastFile = db_.LastInsertId();
        if (firstFile == 0) firstFile = lastFile;
        if (!chunks.Add(lastFile, name)) return Fail(Tr("カタログに記録できませんでした"));
        ++pack->second.files;
        pack->second.bytes += file.size;
    }
    if (firstFile == 0) firstFile = lastFile + 1;
    if (!chunks.Flush()) return Fail(Tr("カタログに記録できませんでした"));

    SqliteStatement updateDisc(db_, "UPDATE discs SET file_count = ?, bytes = ? WHERE id = ?");
    for (const auto& [number, pack] : packs) {
        updateDisc.Bind(1, pack.files);
        updateDisc.Bind(2, static_cast<int64_t>(pack.bytes));
        updateDisc.Bind(3, pack.row);
        if (!updateDisc.Run()) return Fail(Tr("カタログに記録できませんでした"));
    }
    SqliteStatement updateSet(db_, "UPDATE sets SET first_file = ?, last_file = ? WHERE id = ?");
    updateSet.Bind(1, firstFile);
    updateSet.Bind(2, lastFile);
    updateSet.Bind(3, setRow);
    // The search indexes take the new rows in two passes, which is much
    // faster than a row at a time.
    SqliteStatement indexNames(db_,
                               "INSERT INTO name_index(rowid, name) "
                               "SELECT id, name FROM files WHERE id BETWEEN ? AND ?");
    indexNames.Bind(1, firstFile);
    indexNames.Bind(2, lastFile);
    SqliteStatement indexFolders(db_,
                                 "INSERT INTO folder_index(rowid, path) "
                                 "SELECT id, path FROM folders WHERE id > ?");
    indexFolders.Bind(1, foldersBefore);
    if (!updateSet.Run() || !indexNames.Run() || !indexFolders.Run()) {
        return Fail(Tr("カタログに記録できませんでした"));
    }
    return true;
}

bool Catalog::DeleteSetRows(int64_t setRowId) {
    SqliteStatement range(db_, "SELECT first_file, last_file FROM sets WHERE id = ?");
    range.Bind(1, setRowId);
    if (!range.Step()) return Fail(Tr("セットを削除できませんでした"));
    const int64_t first = range.Int(0);
    const int64_t last = range.Int(1);
    range.Reset();
    if (!db_.Exec("CREATE TEMP TABLE IF NOT EXISTS gone_folders(id INTEGER PRIMARY KEY); "
                  "DELETE FROM temp.gone_folders")) {
        return Fail(Tr("セットを削除できませんでした"));
    }
    const char* const steps[] = {
        "INSERT OR IGNORE INTO temp.gone_folders SELECT folder_id FROM files "
        "WHERE id BETWEEN ?1 AND ?2",
        "INSERT INTO name_index(name_index, rowid, name) "
        "SELECT 'delete', id, name FROM files WHERE id BETWEEN ?1 AND ?2",
        "DELETE FROM files WHERE id BETWEEN ?1 AND ?2",
        "DELETE FROM name_chunks WHERE id BETWEEN ?1 AND ?2",
        "DELETE FROM disc_folders WHERE set_id = ?3",
        "DELETE FROM discs WHERE set_id = ?3",
        "DELETE FROM sets WHERE id = ?3",
        // Folders no other file uses any more.
        "INSERT INTO folder_index(folder_index, rowid, path) "
        "SELECT 'delete', f.id, f.path FROM folders f JOIN temp.gone_folders g ON g.id = f.id "
        "WHERE NOT EXISTS (SELECT 1 FROM files WHERE folder_id = f.id)",
        "DELETE FROM folders WHERE id IN (SELECT id FROM temp.gone_folders) "
        "AND NOT EXISTS (SELECT 1 FROM files WHERE folder_id = folders.id)",
    };
    for (const char* sql : steps) {
        SqliteStatement step(db_, sql);
        step.Bind(1, first);
        step.Bind(2, last);
        step.Bind(3, setRowId);
        if (!step.Run()) return Fail(Tr("セットを削除できませんでした"));
    }
    return true;
}

bool Catalog::RemoveSet(const std::string& id) {
    error_.clear();
    SqliteTransaction transaction(db_);
    if (!transaction.Began()) return Fail(Tr("セットを削除できませんでした"));
    SqliteStatement find(db_, "SELECT id FROM sets WHERE uid = ?");
    find.Bind(1, id);
    if (!find.Step()) {
        error_ = TrFormat("セットが見つかりません: {set}", fmt::arg("set", id));
        return false;
    }
    const int64_t row = find.Int(0);
    find.Reset();
    if (!DeleteSetRows(row)) return false;
    return transaction.Commit() || Fail(Tr("セットを削除できませんでした"));
}

bool Catalog::RenameSet(const std::string& id, std::u16string_view name) {
    error_.clear();
    SqliteStatement rename(db_, "UPDATE sets SET name = ? WHERE uid = ?");
    rename.Bind(1, Bytes(name));
    rename.Bind(2, id);
    if (!rename.Run()) return Fail(Tr("セットの名前を変更できませんでした"));
    if (db_.Changes() == 0) {
        error_ = TrFormat("セットが見つかりません: {set}", fmt::arg("set", id));
        return false;
    }
    return true;
}

std::vector<std::string> Catalog::FindSetIds(std::u16string_view text) {
    std::vector<std::string> ids;
    SqliteStatement find(db_, "SELECT uid FROM sets WHERE uid = ?1 OR name = ?1 ORDER BY id");
    find.Bind(1, Bytes(text));
    while (find.Step())
        ids.emplace_back(find.Text(0));
    return ids;
}

std::vector<CatalogSetInfo> Catalog::Sets() {
    std::vector<CatalogSetInfo> sets;
    SqliteStatement query(db_,
                          "SELECT s.id, s.uid, s.name, s.created_at, s.recorded_at, s.medium, "
                          "s.target, s.pack_size, count(d.id), coalesce(sum(d.file_count), 0), "
                          "coalesce(sum(d.bytes), 0) FROM sets s LEFT JOIN discs d "
                          "ON d.set_id = s.id GROUP BY s.id ORDER BY s.created_at, s.id");
    while (query.Step()) {
        CatalogSetInfo info;
        info.rowId = query.Int(0);
        info.id = std::string(query.Text(1));
        info.name = Text(query.Text(2));
        info.createdAt = query.Int(3);
        info.recordedAt = query.Int(4);
        info.medium = Text(query.Text(5));
        info.target = Text(query.Text(6));
        info.packSize = static_cast<uint64_t>(query.Int(7));
        info.discCount = query.Int(8);
        info.fileCount = static_cast<uint64_t>(query.Int(9));
        info.bytes = static_cast<uint64_t>(query.Int(10));
        sets.push_back(std::move(info));
    }
    return sets;
}

std::vector<CatalogDiscInfo> Catalog::Discs() {
    std::vector<CatalogDiscInfo> discs;
    SqliteStatement query(db_,
                          "SELECT d.id, d.set_id, d.number, d.label, d.state, d.written_at, "
                          "d.verified_at, s.name, s.created_at FROM discs d "
                          "JOIN sets s ON s.id = d.set_id ORDER BY d.set_id, d.number");
    while (query.Step()) {
        CatalogDiscInfo info;
        info.rowId = query.Int(0);
        info.setRowId = query.Int(1);
        info.number = static_cast<uint32_t>(query.Int(2));
        info.label = Text(query.Text(3));
        info.state = static_cast<DiscPackState>(query.Int(4));
        info.writtenAt = query.Int(5);
        info.verifiedAt = query.Int(6);
        info.setName = Text(query.Text(7));
        info.setCreatedAt = query.Int(8);
        discs.push_back(std::move(info));
    }
    return discs;
}

bool Catalog::ExportRows(bool (*sink)(void*, std::string_view), void* context) {
    // One read transaction: a set recorded meanwhile is in the export whole or not at all.
    if (!db_.Exec("BEGIN")) return Fail(Tr("カタログを読めませんでした"));
    SqliteStatement query(db_,
                          "SELECT s.name, s.uid, d.label, d.number, fo.path, f.name, df.path, "
                          "coalesce(f.disc_name, f.name), f.size, f.mtime, f.sha256 "
                          "FROM files f JOIN discs d ON d.id = f.disc_id "
                          "JOIN sets s ON s.id = d.set_id JOIN folders fo ON fo.id = f.folder_id "
                          "JOIN disc_folders df ON df.id = f.disc_folder_id ORDER BY f.id");
    std::string line = "set\tset_id\tdisc\tpack\tdisk_path\tdisc_path\tsize\tmtime_ns\tsha256\n";
    bool ok = sink(context, line);
    while (ok && query.Step()) {
        line.clear();
        AppendEscapedField(query.Text(0), line);
        line += '\t';
        line += query.Text(1);
        line += '\t';
        AppendEscapedField(query.Text(2), line);
        line += '\t';
        line += std::to_string(query.Int(3));
        line += '\t';
        AppendEscapedField(query.Text(4), line);
        line += '/';
        AppendEscapedField(query.Text(5), line);
        line += '\t';
        AppendEscapedField(query.Text(6), line);
        line += '/';
        AppendEscapedField(query.Text(7), line);
        line += '\t';
        line += std::to_string(static_cast<uint64_t>(query.Int(8)));
        line += '\t';
        line += std::to_string(query.Int(9));
        line += '\t';
        line += BytesToHex(query.Text(10));
        line += '\n';
        ok = sink(context, line);
    }
    const bool failed = query.Failed();
    (void)db_.Exec("COMMIT");
    if (failed) return Fail(Tr("カタログを読めませんでした"));
    return ok;
}

}  // namespace catalog
