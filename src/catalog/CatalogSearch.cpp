#include "catalog/CatalogSearch.h"

#include <algorithm>

#include "catalog/Catalog.h"

namespace catalog {

namespace {

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

// The trigram index answers LIKE only without an ESCAPE clause, so "%" and
// "_" in the text stay wildcards there: the pattern finds a superset, and every
// row is checked against the text itself.
std::string LikePattern(std::string_view text, bool leading, bool trailing) {
    std::string pattern;
    if (leading) pattern += '%';
    pattern += text;
    if (trailing) pattern += '%';
    return pattern;
}

// Three characters make the first trigram.
bool Indexed(std::string_view text) {
    return text.size() >= 3;
}

const char* const kFileColumns =
    "f.id, f.disc_id, fo.path, f.name, df.path, coalesce(f.disc_name, f.name), f.size, f.mtime ";
const char* const kFileJoins =
    "JOIN folders fo ON fo.id = f.folder_id JOIN disc_folders df ON df.id = f.disc_folder_id ";

void ReadHit(const SqliteStatement& row, CatalogHit& hit) {
    hit.fileRowId = row.Int(0);
    hit.discRowId = row.Int(1);
    hit.diskPath.assign(row.Text(2));
    hit.diskPath += '/';
    hit.diskPath += row.Text(3);
    hit.discPath.assign(row.Text(4));
    hit.discPath += '/';
    hit.discPath += row.Text(5);
    hit.size = static_cast<uint64_t>(row.Int(6));
    hit.mtimeNs = row.Int(7);
}

}  // namespace

bool ContainsFolded(std::string_view text, std::string_view part) {
    if (part.empty()) return true;
    if (part.size() > text.size()) return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (EqualFolded(text.substr(i, part.size()), part)) return true;
    }
    return false;
}

bool StartsWithFolded(std::string_view text, std::string_view part) {
    return text.size() >= part.size() && EqualFolded(text.substr(0, part.size()), part);
}

bool EndsWithFolded(std::string_view text, std::string_view part) {
    return text.size() >= part.size() && EqualFolded(text.substr(text.size() - part.size()), part);
}

bool CatalogSearch::Run(std::string_view text,
                        const std::function<bool(const CatalogHit&)>& found) {
    if (text.empty()) return true;
    SqliteDb& db = catalog_.Db();
    // One read transaction: a set recorded meanwhile shows whole or not at all.
    if (!db.Exec("BEGIN")) return false;
    bool stopped = false;
    bool ok = NameHits(text, found, stopped);
    if (ok && !stopped) ok = FolderHits(text, found, stopped);
    if (ok && !stopped && text.find('/') != std::string_view::npos) {
        ok = SpanningHits(text, found, stopped);
    }
    (void)db.Exec("COMMIT");
    return ok;
}

bool CatalogSearch::NameHits(std::string_view text,
                             const std::function<bool(const CatalogHit&)>& found, bool& stopped) {
    if (text.find('/') != std::string_view::npos) return true;  // names hold no "/"
    SqliteDb& db = catalog_.Db();
    const std::string sql = Indexed(text)
                                ? std::string("SELECT ") + kFileColumns +
                                      "FROM name_index n JOIN files f ON f.id = n.rowid " +
                                      kFileJoins + "WHERE n.name LIKE ?"
                                : std::string("SELECT ") + kFileColumns + "FROM files f " +
                                      kFileJoins + "WHERE f.name LIKE ?";
    SqliteStatement query(db, sql);
    query.Bind(1, LikePattern(text, true, true));
    CatalogHit hit;
    while (query.Step()) {
        if (!ContainsFolded(query.Text(3), text)) continue;
        ReadHit(query, hit);
        if (!found(hit)) {
            stopped = true;
            return true;
        }
    }
    return !query.Failed() && query.IsValid();
}

bool CatalogSearch::FolderHits(std::string_view text,
                               const std::function<bool(const CatalogHit&)>& found, bool& stopped) {
    SqliteDb& db = catalog_.Db();
    SqliteStatement folders(db, Indexed(text)
                                    ? "SELECT fo.id, fo.path FROM folder_index x "
                                      "JOIN folders fo ON fo.id = x.rowid WHERE x.path LIKE ?"
                                    : "SELECT id, path FROM folders WHERE path LIKE ?");
    folders.Bind(1, LikePattern(text, true, true));
    SqliteStatement files(db, std::string("SELECT ") + kFileColumns + "FROM files f " + kFileJoins +
                                  "WHERE f.folder_id = ? ORDER BY f.name");
    CatalogHit hit;
    while (folders.Step()) {
        if (!ContainsFolded(folders.Text(1), text)) continue;
        files.Bind(1, folders.Int(0));
        while (files.Step()) {
            if (ContainsFolded(files.Text(3), text)) continue;  // a name hit already
            ReadHit(files, hit);
            if (!found(hit)) {
                stopped = true;
                return true;
            }
        }
        files.Reset();
        if (files.Failed()) return false;
    }
    return !folders.Failed() && folders.IsValid() && files.IsValid();
}

// The text crosses the last "/" of a path: its part before its own last "/"
// ends the folder, the part after it starts the name.
bool CatalogSearch::SpanningHits(std::string_view text,
                                 const std::function<bool(const CatalogHit&)>& found,
                                 bool& stopped) {
    SqliteDb& db = catalog_.Db();
    const size_t slash = text.rfind('/');
    const std::string_view folderEnd = text.substr(0, slash);
    const std::string_view nameStart = text.substr(slash + 1);
    CatalogHit hit;
    const auto emit = [&](const SqliteStatement& row) {
        const std::string_view folder = row.Text(2);
        if (!EndsWithFolded(folder, folderEnd) || ContainsFolded(folder, text)) return true;
        if (!StartsWithFolded(row.Text(3), nameStart)) return true;
        ReadHit(row, hit);
        if (found(hit)) return true;
        stopped = true;
        return false;
    };
    if (!nameStart.empty()) {
        SqliteStatement query(db, Indexed(nameStart)
                                      ? std::string("SELECT ") + kFileColumns +
                                            "FROM name_index n JOIN files f ON f.id = n.rowid " +
                                            kFileJoins + "WHERE n.name LIKE ?"
                                      : std::string("SELECT ") + kFileColumns + "FROM files f " +
                                            kFileJoins + "WHERE f.name LIKE ?");
        query.Bind(1, LikePattern(nameStart, false, true));
        while (query.Step()) {
            if (!emit(query)) return true;
        }
        return !query.Failed() && query.IsValid();
    }
    // The text ends in "/": every file of the folders it ends.
    SqliteStatement folders(db, Indexed(folderEnd)
                                    ? "SELECT fo.id FROM folder_index x "
                                      "JOIN folders fo ON fo.id = x.rowid WHERE x.path LIKE ?"
                                    : "SELECT id FROM folders WHERE path LIKE ?");
    folders.Bind(1, LikePattern(folderEnd, true, false));
    SqliteStatement files(db, std::string("SELECT ") + kFileColumns + "FROM files f " + kFileJoins +
                                  "WHERE f.folder_id = ? ORDER BY f.name");
    while (folders.Step()) {
        files.Bind(1, folders.Int(0));
        while (files.Step()) {
            if (!emit(files)) return true;
        }
        files.Reset();
        if (files.Failed()) return false;
    }
    return !folders.Failed() && folders.IsValid() && files.IsValid();
}

}  // namespace catalog
