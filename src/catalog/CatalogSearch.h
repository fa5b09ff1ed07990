#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace catalog {

class Catalog;

// One catalogued file that a search found. Paths are raw bytes.
struct CatalogHit {
    int64_t fileRowId = 0;
    int64_t discRowId = 0;
    std::string diskPath;
    std::string discPath;
    uint64_t size = 0;
    int64_t mtimeNs = 0;
};

// Finds the catalogued files whose path on disk holds a text, ASCII letters
// matched without regard to case. Hits stream out as they are found, so the
// first page shows long before a common text has found all its files: first
// the files whose name holds the text, then the files of folders whose path
// holds it, then the files where it spans the last "/". Texts of three or more
// characters use the trigram indexes; shorter ones read the name chunks and
// the folders in order.
class CatalogSearch {
public:
    // cancel, when given, ends a search early (with true) once it is set.
    explicit CatalogSearch(Catalog& catalog, const std::atomic<bool>* cancel = nullptr)
        : catalog_(catalog), cancel_(cancel) {}

    // found returns false to stop. false when reading the catalog failed.
    bool Run(std::string_view text, const std::function<bool(const CatalogHit&)>& found);

private:
    bool NameHits(std::string_view text, const std::function<bool(const CatalogHit&)>& found,
                  bool& stopped);
    bool FolderHits(std::string_view text, const std::function<bool(const CatalogHit&)>& found,
                    bool& stopped);
    bool SpanningHits(std::string_view text, const std::function<bool(const CatalogHit&)>& found,
                      bool& stopped);

    bool Cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    Catalog& catalog_;
    const std::atomic<bool>* cancel_;
};

// ASCII letters compared without case; other bytes as they are.
bool ContainsFolded(std::string_view text, std::string_view part);
bool StartsWithFolded(std::string_view text, std::string_view part);
bool EndsWithFolded(std::string_view text, std::string_view part);

}  // namespace catalog
