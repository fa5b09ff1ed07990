#include "catalog/CatalogRows.h"

#include <ctime>

#include "catalog/CatalogSearch.h"
#include "support/SizeFormat.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace catalog {

std::u16string FormatDay(int64_t seconds) {
    if (seconds == 0) return std::u16string();
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    return zel::Utf8ToUtf16(buffer);
}

bool CatalogRows::Search(std::string_view text, std::vector<CatalogResultRow>& rows, bool& more,
                         const std::atomic<bool>* cancel) {
    rows.clear();
    more = false;
    if (text.empty()) return true;
    if (discs_.empty()) {
        for (CatalogDiscInfo& disc : catalog_.Discs())
            discs_[disc.rowId] = std::move(disc);
    }
    CatalogSearch search(catalog_, cancel);
    return search.Run(text, [&](const CatalogHit& hit) {
        if (rows.size() == kPageRows) {
            more = true;
            return false;
        }
        CatalogResultRow row;
        row.diskPath = hit.diskPath;
        row.file = zel::ForDisplay(zel::DecodeFileName(hit.diskPath));
        auto disc = discs_.find(hit.discRowId);
        if (disc != discs_.end()) {
            row.disc = disc->second.label;
            row.set = disc->second.setName;
            row.date = FormatDay(disc->second.writtenAt != 0 ? disc->second.writtenAt
                                                             : disc->second.setCreatedAt);
        }
        rows.push_back(std::move(row));
        return true;
    });
}

std::vector<CatalogSetRow> CatalogRows::Sets(int sizeUnit) {
    std::vector<CatalogSetRow> rows;
    for (const CatalogSetInfo& set : catalog_.Sets()) {
        CatalogSetRow row;
        row.id = set.id;
        row.name = set.name;
        row.discs = Tr16Format("{count} 枚", fmt::arg("count", set.discCount));
        row.files = InsertThousandsSeparators(UInt64ToString(set.fileCount));
        row.size = FormatDisplaySize(set.bytes, sizeUnit);
        row.date = FormatDay(set.createdAt);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace catalog
