// The main list's rows over a million files: the editable tree with every
// folder expanded, one folder of 100,000 files expanded and collapsed, and the
// packed mode of about 1,000 packs with the packing before it.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "support/TextCodec.h"
#include "view/ListRows.h"
#include "view/PackListView.h"

namespace {

constexpr int kTopFolders = 10;
constexpr int kSubfolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kBigFolderFiles = 100000;
constexpr int kPacks = 1000;

uint32_t g_id = 1;

CPackFolderPtr Folder(const std::string& path) {
    auto folder = CPackFolder::Create(g_id++, zel::U16(path), 0);
    folder->SetExpanded(1);
    return folder;
}

// 10 top folders of 100 folders of 1,000 files, all expanded; sizes uniform
// up to 2 MiB. The sizes' sum is kept for choosing a pack size.
struct MillionTree {
    CCorvelinDoc doc;
    uint64_t total = 0;
    MillionTree() {
        std::mt19937_64 rng(7);
        for (int t = 0; t < kTopFolders; ++t) {
            const std::string topPath = "/data/top" + std::to_string(t);
            auto top = Folder(topPath);
            for (int s = 0; s < kSubfolders; ++s) {
                const std::string subPath = topPath + "/dir" + std::to_string(s);
                auto sub = Folder(subPath);
                for (int f = 0; f < kFilesPerFolder; ++f) {
                    const uint64_t size = 1 + rng() % (2u << 20);
                    total += size;
                    sub->AppendChild(CPackItem::Create(
                        g_id++, zel::U16(subPath + "/file" + std::to_string(f) + ".bin"), size));
                }
                top->AppendChild(sub);
            }
            doc.root.AppendChild(top);
        }
    }
};

MillionTree& Tree() {
    static std::unique_ptr<MillionTree> tree = std::make_unique<MillionTree>();
    return *tree;
}

void BM_EditableRowsMillionExpanded(benchmark::State& state) {
    MillionTree& tree = Tree();
    CListRows rows;
    CPackListView view(tree.doc, rows);
    for (auto _ : state) {
        view.OnUpdate(kHintEditable);
        benchmark::DoNotOptimize(rows.Count());
    }
    state.counters["rows"] = static_cast<double>(rows.Count());
}
BENCHMARK(BM_EditableRowsMillionExpanded)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A collapsed folder of 100,000 files in the middle of the million rows: one
// expansion and one collapse per iteration.
void BM_ToggleFolderOf100k(benchmark::State& state) {
    MillionTree& tree = Tree();
    static CPackFolderPtr big = [&] {
        auto folder = Folder("/data/top4/big");
        for (int f = 0; f < kBigFolderFiles; ++f)
            folder->AppendChild(CPackItem::Create(
                g_id++, zel::U16("/data/top4/big/file" + std::to_string(f)), 1000));
        folder->SetExpanded(0);
        tree.doc.root.children[4]->AsFolder()->AppendChild(folder);
        return folder;
    }();
    CListRows rows;
    CPackListView view(tree.doc, rows);
    view.OnUpdate(kHintEditable);
    const size_t row = static_cast<size_t>(rows.Find(RowRef(big.get())));
    for (auto _ : state) {
        view.ToggleTreeExpand(row);
        view.ToggleTreeExpand(row);
    }
    state.counters["rows"] = static_cast<double>(rows.Count());
}
BENCHMARK(BM_ToggleFolderOf100k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Packing the million files into about 1,000 packs, then the packed rows.
void BM_PackAndPackedRows(benchmark::State& state) {
    MillionTree& tree = Tree();
    const uint64_t packSize = tree.total / kPacks + tree.total / kPacks / 100;
    CListRows rows;
    CPackListView view(tree.doc, rows);
    for (auto _ : state) {
        tree.doc.cancelFlag = 0;
        tree.doc.Pack(packSize);
        tree.doc.packSize = packSize;
        view.OnUpdate(kHintPacked);
    }
    state.counters["packs"] = static_cast<double>(rows.Count());
}
BENCHMARK(BM_PackAndPackedRows)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PackedRowsOnly(benchmark::State& state) {
    MillionTree& tree = Tree();
    const uint64_t packSize = tree.total / kPacks + tree.total / kPacks / 100;
    tree.doc.cancelFlag = 0;
    tree.doc.Pack(packSize);
    tree.doc.packSize = packSize;
    CListRows rows;
    CPackListView view(tree.doc, rows);
    for (auto _ : state) {
        view.OnUpdate(kHintPacked);
        view.TogglePackExpand(0);
    }
    state.counters["packs"] = static_cast<double>(tree.doc.packResults.size());
}
BENCHMARK(BM_PackedRowsOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
