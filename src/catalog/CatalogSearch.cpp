#include "catalog/CatalogSearch.h"

#include <algorithm>

#include "catalog/Catalog.h"
#include "catalog/NameChunks.h"

namespace catalog {

namespace {

char Fold(char c) {
    return FoldAscii(c);
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

const char* const kFileColumns =
    "f.id, f.disc_id, fo.path, f.name, df.path, coalesce(f.disc_name, f.name), f.size, f.mtime ";
const char* const kFileJoins =
    "JOIN folders fo ON fo.id = f.folder_id JOIN disc_folders df ON df.id = f.disc_folder_id ";

// How a text is looked for. The trigram index answers LIKE only without an
// ESCAPE clause, so "%" and "_" in the text stay wildcards there: the pattern
// finds a superset, and every row is checked against the text itself. SQLite
// 3.40's index finds nothing for a LIKE with characters beyond ASCII, nor for
// a GLOB without three characters in a row: such texts take GLOB, their ASCII
// letters as [aA] classes, when they have such a run, and a plain scan of the
// table otherwise. Texts of one or two characters scan the table too.
struct Lookup {
    bool indexed = false;
    const char* op = "LIKE";
    std::string pattern;
};

Lookup MakeLookup(std::string_view text, bool leading, bool trailing) {
    Lookup lookup;
    const std::string like =
        std::string(leading ? "%" : "") + std::string(text) + (trailing ? "%" : "");
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        lookup.indexed = text.size() >= 3;
        lookup.pattern = like;
        return lookup;
    }
    std::string glob = leading ? "*" : "";
    int run = 0;
    int longest = 0;
    for (char c : text) {
        const char lower = Fold(c);
        if (lower >= 'a' && lower <= 'z') {
            glob += {'[', lower, static_cast<char>(lower - 'a' + 'A'), ']'};
            run = 0;
        } else if (c == '*' || c == '?' || c == '[' || c == ']') {
            glob += '?';
            run = 0;
        } else {
            glob += c;
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) longest = std::max(longest, ++run);
        }
    }
    if (trailing) glob += '*';
    lookup.indexed = longest >= 3;
    lookup.op = lookup.indexed ? "GLOB" : "LIKE";
    lookup.pattern = lookup.indexed ? glob : like;
    return lookup;
}

// The files whose name holds part (or starts with it, without leading), each
// as a row of `row`, which found reads. Without a trigram the name chunks
// answer, and `row` fetches each of their files.
bool NameRows(SqliteDb& db, std::string_view part, bool leading, const std::atomic<bool>* cancel,
              SqliteStatement& row, const std::function<bool()>& found) {
    const Lookup lookup = MakeLookup(part, leading, true);
    if (lookup.indexed) {
        row.Prepare(db, std::string("SELECT ") + kFileColumns +
                            "FROM name_index n JOIN files f ON f.id = n.rowid " + kFileJoins +
                            "WHERE n.name " + lookup.op + " ?");
        row.Bind(1, lookup.pattern);
        while (row.Step()) {
            if (!found()) return true;
        }
        return !row.Failed() && row.IsValid();
    }
    row.Prepare(db, std::string("SELECT ") + kFileColumns + "FROM files f " + kFileJoins +
                        "WHERE f.id = ?");
    if (!row.IsValid()) return false;
    bool ok = true;
    const bool read = NameChunks::Find(db, part, !leading, cancel, [&](int64_t id) {
        row.Bind(1, id);
        const bool stepped = row.Step();
        const bool go = !stepped || found();
        row.Reset();
        if (row.Failed()) ok = false;
        return go && ok;
    });
    return read && ok;
}

// Folder ids and paths whose path holds part (or ends with it, without trailing).
void PrepareFolders(SqliteDb& db, SqliteStatement& query, std::string_view part, bool trailing) {
    const Lookup lookup = MakeLookup(part, true, trailing);
    query.Prepare(db, lookup.indexed
                          ? std::string("SELECT fo.id, fo.path FROM folder_index x "
                                        "JOIN folders fo ON fo.id = x.rowid "
                                        "WHERE x.path ") +
                                lookup.op + " ?"
                          : std::string("SELECT id, path FROM folders WHERE path LIKE ?"));
    query.Bind(1, lookup.pattern);
}

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
    if (ok && !stopped && !Cancelled()) ok = FolderHits(text, found, stopped);
    if (ok && !stopped && !Cancelled() && text.find('/') != std::string_view::npos) {
        ok = SpanningHits(text, found, stopped);
    }
    (void)db.Exec("COMMIT");
    return ok;
}

bool CatalogSearch::NameHits(std::string_view text,
                             const std::function<bool(const CatalogHit&)>& found, bool& stopped) {
    if (text.find('/') != std::string_view::npos) return true;  // names hold no "/"
    SqliteStatement query;
    CatalogHit hit;
    return NameRows(catalog_.Db(), text, true, cancel_, query, [&] {
        if (!ContainsFolded(query.Text(3), text)) return true;
        ReadHit(query, hit);
        if (found(hit)) return true;
        stopped = true;
        return false;
    });
}

bool CatalogSearch::FolderHits(std::string_view text,
                               const std::function<bool(const CatalogHit&)>& found, bool& stopped) {
    SqliteDb& db = catalog_.Db();
    SqliteStatement folders;
    PrepareFolders(db, folders, text, true);
    SqliteStatement files(db, std::string("SELECT ") + kFileColumns + "FROM files f " + kFileJoins +
                                  "WHERE f.folder_id = ? ORDER BY f.name");
    CatalogHit hit;
    while (folders.Step()) {
        if (Cancelled()) return true;
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
        SqliteStatement query;
        return NameRows(db, nameStart, false, cancel_, query, [&] { return emit(query); });
    }
    // The text ends in "/": every file of the folders it ends.
    SqliteStatement folders;
    PrepareFolders(db, folders, folderEnd, false);
    SqliteStatement files(db, std::string("SELECT ") + kFileColumns + "FROM files f " + kFileJoins +
                                  "WHERE f.folder_id = ? ORDER BY f.name");
    while (folders.Step()) {
        if (Cancelled()) return true;
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
