#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/Catalog.h"

namespace catalog {

// One line of the catalog window's results: the four texts it shows and the
// path its commands act on.
struct CatalogResultRow {
    std::u16string file;  // the path on disk, for display
    std::u16string disc;  // the disc's label
    std::u16string set;
    std::u16string date;   // the day the disc was written, else the set was made
    std::string diskPath;  // raw bytes
};

// One line of the window's set list.
struct CatalogSetRow {
    std::string id;
    std::u16string name;
    std::u16string discs;
    std::u16string files;
    std::u16string size;
    std::u16string date;
};

// What the catalog window shows, made from the catalog: the first page of a
// search as the user types, and the recorded sets.
class CatalogRows {
public:
    // Enough for a screenful many times over; the rest is one more keystroke away.
    static constexpr size_t kPageRows = 1000;

    explicit CatalogRows(Catalog& catalog) : catalog_(catalog) {}

    // The first kPageRows hits; more is set when there were others. An empty
    // text finds nothing. false when the catalog could not be read. cancel,
    // once set, ends the search early with what it found so far.
    bool Search(std::string_view text, std::vector<CatalogResultRow>& rows, bool& more,
                const std::atomic<bool>* cancel = nullptr);
    std::vector<CatalogSetRow> Sets(int sizeUnit);
    // Forgets the discs it knows, after a set was recorded, renamed or removed.
    void Refresh() { discs_.clear(); }

private:
    Catalog& catalog_;
    std::unordered_map<int64_t, CatalogDiscInfo> discs_;
};

// "2026-12-07", the local date.
std::u16string FormatDay(int64_t seconds);

}  // namespace catalog
