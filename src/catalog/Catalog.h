#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/SqliteDb.h"
#include "disc/DiscSet.h"

namespace catalog {

// One recorded set with what the management window shows of it.
struct CatalogSetInfo {
    int64_t rowId = 0;
    std::string id;  // the set's own 32 hex digits
    std::u16string name;
    int64_t createdAt = 0;
    int64_t recordedAt = 0;
    std::u16string medium;
    std::u16string target;
    uint64_t packSize = 0;
    int64_t discCount = 0;
    uint64_t fileCount = 0;
    uint64_t bytes = 0;
};

// One disc (pack) of a recorded set, as a search hit names it.
struct CatalogDiscInfo {
    int64_t rowId = 0;
    int64_t setRowId = 0;
    uint32_t number = 0;
    std::u16string label;
    DiscPackState state = DiscPackState::Planned;
    int64_t writtenAt = 0;
    int64_t verifiedAt = 0;
    std::u16string setName;
    int64_t setCreatedAt = 0;
};

// The archive catalog: every recorded set, its discs and their files, in one
// SQLite file that the window and the command line may use at the same time.
// Every change is one transaction, so a crash leaves the catalog as it was.
//
// Files keep their folder (on disk and on the disc) as a reference to a row
// stored once, and their own name, so ten million files do not repeat their
// folders' paths. A set's files take consecutive row ids, so removing a set
// needs no index over the files by disc.
class Catalog {
public:
    static constexpr int kSchemaVersion = 2;

    Catalog() = default;

    // Opens the catalog at path, creating it and its schema when missing. A
    // file that is not a catalog, is damaged, or comes from a newer version is
    // renamed aside (SetAsidePath) and a fresh catalog is made in its place;
    // Notice() then says so. false with Error() when no catalog can be opened.
    [[nodiscard]] bool Open(const std::string& path);
    const std::string& Error() const { return error_; }
    // A message for the user after Open (UTF-8), empty when there is none.
    const std::string& Notice() const { return notice_; }
    const std::string& Path() const { return path_; }

    // Records a set, replacing an earlier record of the same set id; all or
    // nothing.
    [[nodiscard]] bool Record(const DiscSet& set);
    // After one pack of a recorded set was written or verified: its discs'
    // states and that pack's checksums, a small part of what Record writes.
    // A set the catalog does not hold as it was recorded is recorded whole.
    [[nodiscard]] bool RecordPack(const DiscSet& set, uint32_t pack);
    // By the set's id; false when there is no such set or the change failed.
    [[nodiscard]] bool RemoveSet(const std::string& id);
    [[nodiscard]] bool RenameSet(const std::string& id, std::u16string_view name);
    // The set ids whose id or name equals text (a name may be shared).
    std::vector<std::string> FindSetIds(std::u16string_view text);

    std::vector<CatalogSetInfo> Sets();
    std::vector<CatalogDiscInfo> Discs();

    // The whole catalog as tab-separated text, one line per file, with a
    // header line; fields escaped as the on-medium index escapes them. write
    // receives the text in pieces; false when it or a read fails.
    template <typename Write>
    bool ExportTsv(Write&& write);

    SqliteDb& Db() { return db_; }

private:
    bool OpenFile(const std::string& path, bool& unusable);
    bool CreateSchema();
    bool RecordRows(const DiscSet& set);
    bool UpdatePack(const DiscSet& set, uint32_t pack, bool& matched);
    bool Migrate(int from);
    bool SetAside(const std::string& why);
    bool DeleteSetRows(int64_t setRowId);
    bool ExportRows(bool (*sink)(void*, std::string_view), void* context);
    bool Fail(const std::string& what);

    SqliteDb db_;
    std::string path_;
    std::string error_;
    std::string notice_;
};

template <typename Write>
bool Catalog::ExportTsv(Write&& write) {
    return ExportRows(
        [](void* context, std::string_view text) {
            return static_cast<bool>((*static_cast<Write*>(context))(text));
        },
        &write);
}

// "\" as "\\", TAB "\t", LF "\n", CR "\r": a field that stays one field of one line.
void AppendEscapedField(std::string_view text, std::string& out);

}  // namespace catalog
