// Packing and export of a million files into DVD-size packs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "intake/ImportSettingsFile.h"
#include "intake/InventoryReader.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "packing/PackImageSizes.h"
#include "support/TextCodec.h"

namespace {

constexpr int kFolders = 1000;
constexpr int kFilesPerFolder = 1000;
constexpr uint64_t kDvd = 4700000000ull;

// Mostly small files, some large ones, a few larger than a disc; about one file
// in ten sits in a group of 2 to 10 neighbours.
CCorvelinDoc& MillionFileDocument() {
    static std::unique_ptr<CCorvelinDoc> doc = [] {
        auto d = std::make_unique<CCorvelinDoc>();
        std::mt19937_64 rng(42);
        int groupLeft = 0;
        uint64_t group = NoGroup;
        for (int f = 0; f < kFolders; ++f) {
            const std::string folderPath = "/data/dir" + std::to_string(f);
            auto folder = CPackFolder::Create(d->nextItemId++, zel::U16(folderPath), 0);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                const unsigned kind = rng() % 10000;
                uint64_t size;
                if (kind < 7000) {
                    size = 1024 + rng() % (2u << 20);
                } else if (kind < 9500) {
                    size = (2u << 20) + rng() % (100u << 20);
                } else if (kind < 9999) {
                    size = (100u << 20) + rng() % (2ull << 30);
                } else {
                    size = kDvd + rng() % kDvd;
                }
                auto item = CPackItem::Create(
                    d->nextItemId++,
                    zel::U16(folderPath + "/File_" + std::to_string(rng() % 1000000) + ".bin"),
                    size);
                if (groupLeft == 0 && rng() % 50 == 0) {
                    group = d->NewGroup();
                    groupLeft = 2 + static_cast<int>(rng() % 9);
                }
                if (groupLeft > 0) {
                    item->group = group;
                    --groupLeft;
                }
                folder->AppendChild(item);
            }
            d->root.AppendChild(folder);
        }
        return d;
    }();
    return *doc;
}

void BM_PackMillionFiles(benchmark::State& state) {
    CCorvelinDoc& doc = MillionFileDocument();
    for (auto _ : state) {
        doc.cancelFlag = 0;
        benchmark::DoNotOptimize(doc.Pack(kDvd));
    }
    state.counters["packs"] = static_cast<double>(doc.packs.size());
    state.counters["groups"] = static_cast<double>(doc.groupCount);
}
BENCHMARK(BM_PackMillionFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The document packed once more for a benchmark of what follows the packing;
// null, with the benchmark skipped, when that packing was cancelled.
CCorvelinDoc* PackedMillionFileDocument(benchmark::State& state) {
    CCorvelinDoc& doc = MillionFileDocument();
    doc.cancelFlag = 0;
    if (!doc.Pack(kDvd)) {
        state.SkipWithError("packing was cancelled");
        return nullptr;
    }
    return &doc;
}

void BM_ExportMillionFiles(benchmark::State& state) {
    CCorvelinDoc* packed = PackedMillionFileDocument(state);
    if (!packed) return;
    CCorvelinDoc& doc = *packed;
    std::string message;
    for (auto _ : state) {
        if (!doc.ExportPacks("/dev/null", message)) {
            state.SkipWithError(message.c_str());
            return;
        }
    }
}
BENCHMARK(BM_ExportMillionFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Every pack's image, as the command line's summary shows them.
void BM_EstimateImagesMillionFiles(benchmark::State& state) {
    CCorvelinDoc* packed = PackedMillionFileDocument(state);
    if (!packed) return;
    CCorvelinDoc& doc = *packed;
    for (auto _ : state)
        benchmark::DoNotOptimize(EstimatePackImages(doc.root, doc.packs, false));
}
BENCHMARK(BM_EstimateImagesMillionFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same for the packs of an inventory of NUL-separated records, named by
// CORVELIN_BENCH_INVENTORY (corvelin_make_inventory RECORDS FOLDERS SEED makes
// one): its shape, not a generated tree's, is what --from-list meets.
void BM_EstimateImagesInventory(benchmark::State& state) {
    const char* path = std::getenv("CORVELIN_BENCH_INVENTORY");
    if (!path) {
        state.SkipWithError("skipped: set CORVELIN_BENCH_INVENTORY to an inventory file");
        return;
    }
    static std::unique_ptr<CCorvelinDoc> doc = [path] {
        auto d = std::make_unique<CCorvelinDoc>();
        CInventoryReader reader(MakeDefaultImportSettings(), '\0', d->nextItemId);
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        int error = 0;
        if (fd >= 0 && reader.Read(fd, error)) {
            if (CPackFolderPtr result = reader.TakeResult())
                d->AddScannedItems(*result, reader.GetNextId());
        }
        if (fd >= 0) ::close(fd);
        d->cancelFlag = 0;
        if (!d->Pack(kDvd)) d->packs.clear();
        return d;
    }();
    if (doc->packs.empty()) {
        state.SkipWithError("the inventory gave no packs");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(EstimatePackImages(doc->root, doc->packs, false));
    state.counters["packs"] = static_cast<double>(doc->packs.size());
}
BENCHMARK(BM_EstimateImagesInventory)->Unit(benchmark::kMillisecond)->MinTime(5.0);

}  // namespace
