#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace catalog {

class SqliteDb;

// The files' names once more, packed a few thousand to a row: "/name/name..."
// with ASCII letters in lower case, the first name's file row id as the row's
// id and the rest following it one by one. A text of one or two characters
// has no index to answer it; reading these rows in order and searching the
// bytes finds it in ten million names within a fraction of a second, where
// testing every file row in SQL takes seconds. A chunk never spans two sets,
// so removing a set removes its chunks by its row range.
class NameChunks {
public:
    static constexpr size_t kNamesPerChunk = 2048;

    explicit NameChunks(SqliteDb& db);
    ~NameChunks();
    NameChunks(const NameChunks&) = delete;
    NameChunks& operator=(const NameChunks&) = delete;

    // Adds the name of a file row; rows not following the last one start a
    // new chunk. false when writing a full chunk failed.
    [[nodiscard]] bool Add(int64_t fileRowId, std::string_view name);
    // Writes what Add holds; call at the end of a set.
    [[nodiscard]] bool Flush();
    // Rebuilds the chunks of every recorded set, for a catalog made before
    // they existed.
    [[nodiscard]] bool FillFromFiles();

    // The file row ids whose name holds text (ASCII letters in either case),
    // or starts with it when start is set, in row order. found returns false to
    // stop; so does cancel once set. false when reading failed.
    static bool Find(SqliteDb& db, std::string_view text, bool start,
                     const std::atomic<bool>* cancel, const std::function<bool(int64_t)>& found);

private:
    SqliteDb& db_;
    std::string names_;
    int64_t first_ = 0;
    int64_t next_ = 0;
    size_t count_ = 0;
};

char FoldAscii(char c);

}  // namespace catalog
