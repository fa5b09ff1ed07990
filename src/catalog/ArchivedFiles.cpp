#include "catalog/ArchivedFiles.h"

#include <algorithm>

#include "catalog/Catalog.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace catalog {

bool ArchivedFiles::Load(Catalog& catalog, const std::vector<std::string>& roots,
                         std::string& error) {
    SqliteDb& db = catalog.Db();
    // Everything below a folder: its own path, or paths from "root/" up to
    // just before "root0" ("0" follows "/" in byte order).
    SqliteStatement below(db,
                          "SELECT fo.path, f.name, f.size, f.mtime, f.disc_id FROM folders fo "
                          "JOIN files f ON f.folder_id = fo.id "
                          "WHERE fo.path = ?1 OR (fo.path >= ?2 AND fo.path < ?3)");
    // A dropped file.
    SqliteStatement file(db,
                         "SELECT fo.path, f.name, f.size, f.mtime, f.disc_id FROM folders fo "
                         "JOIN files f ON f.folder_id = fo.id WHERE fo.path = ?1 AND f.name = ?2");
    if (!below.IsValid() || !file.IsValid() || !db.Exec("BEGIN")) {
        error = TrFormat("カタログを読めませんでした: {reason}", fmt::arg("reason", db.Error()));
        return false;
    }
    const auto take = [this](SqliteStatement& rows) {
        while (rows.Step()) {
            Folder& folder = folders_[std::string(rows.Text(0))];
            folder.push_back(Entry{std::string(rows.Text(1)), static_cast<uint64_t>(rows.Int(2)),
                                   rows.Int(3), rows.Int(4)});
            ++loaded_;
        }
        rows.Reset();
        return !rows.Failed();
    };
    bool ok = true;
    for (const std::string& root : roots) {
        const std::string folder = root == "/" ? std::string() : root;
        below.Bind(1, folder);
        below.Bind(2, folder + '/');
        below.Bind(3, folder + '0');
        ok = ok && take(below);
        const size_t slash = root.rfind('/');
        if (slash != std::string::npos && root != "/") {
            file.Bind(1, std::string_view(root).substr(0, slash));
            file.Bind(2, std::string_view(root).substr(slash + 1));
            ok = ok && take(file);
        }
    }
    (void)db.Exec("COMMIT");
    if (!ok) {
        error = TrFormat("カタログを読めませんでした: {reason}", fmt::arg("reason", db.Error()));
        return false;
    }
    for (auto& [path, entries] : folders_) {
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
    }
    lastFolderKnown_ = false;
    return true;
}

ArchiveVerdict ArchivedFiles::Check(std::string_view path, uint64_t size, int64_t mtimeNs) {
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ArchiveVerdict::New;
    const std::string_view folderPath = path.substr(0, slash);
    const std::string_view name = path.substr(slash + 1);
    if (!lastFolderKnown_ || folderPath != lastFolderPath_) {
        lastFolderPath_.assign(folderPath);
        lastFolderKnown_ = true;
        auto found = folders_.find(lastFolderPath_);
        lastFolder_ = found == folders_.end() ? nullptr : &found->second;
    }
    if (!lastFolder_) return ArchiveVerdict::New;
    auto first = std::lower_bound(lastFolder_->begin(), lastFolder_->end(), name,
                                  [](const Entry& e, std::string_view n) { return e.name < n; });
    bool seen = false;
    for (auto it = first; it != lastFolder_->end() && it->name == name; ++it) {
        seen = true;
        if (it->size == size && it->mtimeNs == mtimeNs) {
            ++archivedCount_;
            ++byDisc_[it->discRowId];
            return ArchiveVerdict::Archived;
        }
    }
    if (!seen) return ArchiveVerdict::New;
    ++changedCount_;
    return ArchiveVerdict::Changed;
}

std::string DescribeArchived(const ArchivedFiles& archived,
                             const std::vector<CatalogDiscInfo>& discs) {
    std::string text;
    if (archived.ArchivedCount() == 0 && archived.ChangedCount() == 0) return text;
    text = TrFormat("アーカイブ済みの {count} 個のファイルを除外しました。",
                    fmt::arg("count", archived.ArchivedCount()));
    if (archived.ChangedCount() > 0) {
        text += TrFormat("変更された {count} 個のファイルは取り込み、印を付けました。",
                         fmt::arg("count", archived.ChangedCount()));
    }
    text += '\n';
    for (const auto& [discRow, count] : archived.ArchivedByDisc()) {
        auto disc = std::find_if(
            discs.begin(), discs.end(),
            [discRow = discRow](const CatalogDiscInfo& d) { return d.rowId == discRow; });
        if (disc == discs.end()) continue;
        text += TrFormat("  {set} / {disc}: {count} 個\n",
                         fmt::arg("set", zel::Utf16ToUtf8(disc->setName)),
                         fmt::arg("disc", zel::Utf16ToUtf8(disc->label)), fmt::arg("count", count));
    }
    return text;
}

}  // namespace catalog
