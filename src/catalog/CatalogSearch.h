#pragma once

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
// characters use the trigram indexes; shorter ones read the tables in order.
class CatalogSearch {
public:
    explicit CatalogSearch(Catalog& catalog) : catalog_(catalog) {}

    // found returns false to stop. false when reading the catalog failed.
    bool Run(std::string_view text, const std::function<bool(const CatalogHit&)>& found);

private:
    bool NameHits(std::string_view text, const std::function<bool(const CatalogHit&)>& found,
                  bool& stopped);
    bool FolderHits(std::string_view text, const std::function<bool(const CatalogHit&)>& found,
                    bool& stopped);
    bool SpanningHits(std::string_view text, const std::function<bool(const CatalogHit&)>& found,
                      bool& stopped);

    Catalog& catalog_;
};

// ASCII letters compared without case; other bytes as they are.
bool ContainsFolded(std::string_view text, std::string_view part);
bool StartsWithFolded(std::string_view text, std::string_view part);
bool EndsWithFolded(std::string_view text, std::string_view part);

}  // namespace catalog
