#include "catalog/NameChunks.h"

#include <cstring>

#include "catalog/SqliteDb.h"

namespace catalog {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

NameChunks::NameChunks(SqliteDb& db) : db_(db) {}

NameChunks::~NameChunks() = default;

bool NameChunks::Add(int64_t fileRowId, std::string_view name) {
    if (count_ != 0 && (fileRowId != next_ || count_ == kNamesPerChunk)) {
        if (!Flush()) return false;
    }
    if (count_ == 0) first_ = fileRowId;
    next_ = fileRowId + 1;
    ++count_;
    names_ += '/';
    for (char c : name)
        names_ += FoldAscii(c);
    return true;
}

bool NameChunks::Flush() {
    if (count_ == 0) return true;
    SqliteStatement insert(db_, "INSERT INTO name_chunks(id, names) VALUES(?, ?)");
    insert.Bind(1, first_);
    insert.BindBlob(2, names_);
    names_.clear();
    count_ = 0;
    return insert.Run();
}

bool NameChunks::FillFromFiles() {
    SqliteStatement sets(db_, "SELECT first_file, last_file FROM sets ORDER BY first_file");
    SqliteStatement files(db_, "SELECT id, name FROM files WHERE id BETWEEN ? AND ? ORDER BY id");
    while (sets.Step()) {
        files.Bind(1, sets.Int(0));
        files.Bind(2, sets.Int(1));
        while (files.Step()) {
            if (!Add(files.Int(0), files.Text(1))) return false;
        }
        files.Reset();
        if (files.Failed() || !Flush()) return false;
    }
    return sets.IsValid() && files.IsValid() && !sets.Failed();
}

bool NameChunks::Find(SqliteDb& db, std::string_view text, bool start,
                      const std::atomic<bool>* cancel, const std::function<bool(int64_t)>& found) {
    std::string needle = start ? "/" : "";
    for (char c : text)
        needle += FoldAscii(c);
    if (needle.empty()) return true;
    SqliteStatement chunks(db, "SELECT id, names FROM name_chunks ORDER BY id");
    while (chunks.Step()) {
        if (cancel && cancel->load(std::memory_order_relaxed)) return true;
        const std::string_view names = chunks.Text(1);
        const char* const begin = names.data();
        const char* const end = begin + names.size();
        // Names before `counted` are numbered: index is the one `counted` lies in.
        const char* counted = begin;
        int64_t index = -1;
        for (const char* at = begin; at < end;) {
            const void* hit =
                memmem(at, static_cast<size_t>(end - at), needle.data(), needle.size());
            if (!hit) break;
            const char* match = static_cast<const char*>(hit);
            // A needle that starts with "/" begins the name after it.
            const char* inName = start ? match + 1 : match;
            for (; counted < inName; ++counted)
                if (*counted == '/') ++index;
            if (!found(chunks.Int(0) + index)) return true;
            const void* next = std::memchr(inName, '/', static_cast<size_t>(end - inName));
            at = next ? static_cast<const char*>(next) : end;
        }
    }
    return chunks.IsValid() && !chunks.Failed();
}

}  // namespace catalog
