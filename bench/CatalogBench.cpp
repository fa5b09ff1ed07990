// The catalog's speed and size on generated sets:
//   corvelin_catalog_bench CATALOG FILES [--tree DIR | --changed-tree DIR | --searches]
// Fills CATALOG with generated sets of up to a million files until it holds
// FILES, then times recording one more set of a million files, searches of
// three or more and of one or two characters (the first 50 hits, and a
// window's page of a thousand), recording it again pack by pack as a writing
// run does, and removing that set again; prints the file's bytes per file
// beyond the two paths. --tree DIR also records every file below DIR (with
// its real size and time), for timing corvelin-cli --skip-archived on it;
// --changed-tree records them a nanosecond off, so that every file of a scan
// is looked up and still taken (the check's whole cost, none of its savings).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/Catalog.h"
#include "catalog/CatalogSearch.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t Below(uint64_t n) { return Next() % n; }

private:
    uint64_t state_;
};

const char* const kWords[] = {"holiday", "report", "IMG",     "DSC",    "scan",   "invoice",
                              "music",   "track",  "project", "backup", "photo",  "video",
                              "写真",    "旅行",   "資料",    "音楽",   "family", "garden"};
const char* const kExtensions[] = {"jpg", "png", "mp4", "pdf", "flac", "txt", "cr2", "mov"};

std::string HexId(uint64_t n) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%016llx%016llx", 0xC0DEull,
                  static_cast<unsigned long long>(n));
    return buffer;
}

// About 55 bytes a path, a hundred files a folder.
DiscSet Generated(uint64_t number, size_t files, uint64_t& pathBytes) {
    Random random(number * 7919 + 1);
    DiscSet set;
    set.id = HexId(number);
    set.name = zel::Utf8ToUtf16("generated " + std::to_string(number));
    set.createdAt = 1700000000 + static_cast<int64_t>(number) * 86400;
    set.packSize = set.capacity = 25000000000;
    set.medium = u"Blu-ray(25GB)";
    set.target = u"disc";
    const uint32_t packs = static_cast<uint32_t>(files / 20000 + 1);
    for (uint32_t n = 1; n <= packs; ++n) {
        char label[16];
        std::snprintf(label, sizeof label, "PACK_%02u", n);
        set.packs.push_back({n,
                             zel::Utf8ToUtf16(label),
                             DiscPackState::Verified,
                             set.createdAt,
                             set.createdAt,
                             {}});
    }
    std::string folder;
    std::string discFolder;
    set.files.reserve(files);
    for (size_t i = 0; i < files; ++i) {
        if (i % 100 == 0) {
            const std::string topic = kWords[random.Below(std::size(kWords))];
            discFolder = "/" + std::to_string(2000 + random.Below(26)) + "/" + topic + "_" +
                         std::to_string(random.Below(1000)) + "/d" + std::to_string(i / 100);
            folder = "/home/user/archive/set" + std::to_string(number) + discFolder;
        }
        const std::string name = std::string(kWords[random.Below(std::size(kWords))]) + "_" +
                                 std::to_string(random.Below(100000)) + "." +
                                 kExtensions[random.Below(std::size(kExtensions))];
        const std::string disk = folder + "/" + name;
        const std::string disc = discFolder + "/" + name;
        pathBytes += disk.size() + disc.size();
        set.files.push_back({static_cast<uint32_t>(1 + i * packs / files),
                             zel::DecodeFileName(disc), zel::DecodeFileName(disk),
                             random.Below(10000000), static_cast<int64_t>(random.Next() >> 4),
                             std::string()});
    }
    return set;
}

int64_t FileCount(catalog::Catalog& catalog) {
    return catalog.Db().QueryInt("SELECT coalesce(sum(file_count), 0) FROM discs");
}

bool Record(catalog::Catalog& catalog, const DiscSet& set) {
    const auto start = Clock::now();
    const std::clock_t cpu = std::clock();
    if (!catalog.Record(set)) {
        std::fprintf(stderr, "record failed: %s\n", catalog.Error().c_str());
        return false;
    }
    std::printf("recorded %zu files into %lld: %.1f s (CPU %.1f s)\n", set.files.size(),
                static_cast<long long>(FileCount(catalog) - static_cast<int64_t>(set.files.size())),
                Seconds(start), static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
    std::fflush(stdout);
    return true;
}

// Wall and CPU time: on a machine shared with builds the wall time mostly
// tells how long the search waited for a core.
void TimeSearch(catalog::Catalog& catalog, const char* text, size_t page = 50) {
    const auto start = Clock::now();
    const std::clock_t cpu = std::clock();
    size_t hits = 0;
    catalog::CatalogSearch search(catalog);
    (void)search.Run(text, [&](const catalog::CatalogHit&) { return ++hits < page; });
    std::printf("search %-10s first %4zu hits: %7.1f ms (CPU %6.1f ms)\n", text, hits,
                Seconds(start) * 1000,
                static_cast<double>(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC);
}

void TimeSearches(catalog::Catalog& catalog) {
    for (const char* text : {"holiday_4", "IMG_123", "d4242/", "旅行_77", "report", "zzz"}) {
        TimeSearch(catalog, text);
    }
    // Short texts, none or few of them (a whole pass) and many (an early stop),
    // for the first 50 and for a window's page of a thousand.
    for (const char* text : {"q", "_9", "z", "7x", "o", "g/", "/q", "写"}) {
        TimeSearch(catalog, text);
        TimeSearch(catalog, text, 1000);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s CATALOG FILES [--tree DIR | --changed-tree DIR | --searches]\n",
                     argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    const int64_t wanted = std::atoll(argv[2]);
    catalog::Catalog catalog;
    if (!catalog.Open(path)) {
        std::fprintf(stderr, "%s\n", catalog.Error().c_str());
        return 1;
    }
    uint64_t pathBytes = 0;
    for (uint64_t number = 1; FileCount(catalog) < wanted; ++number) {
        if (!catalog.FindSetIds(zel::Utf8ToUtf16(HexId(number))).empty()) continue;
        const size_t files =
            static_cast<size_t>(std::min<int64_t>(1000000, wanted - FileCount(catalog)));
        if (!Record(catalog, Generated(number, files, pathBytes))) return 1;
    }
    const std::string treeOption = argc >= 4 ? argv[3] : "";
    if (treeOption == "--searches") {
        TimeSearches(catalog);
        return 0;
    }
    if (argc >= 5 && (treeOption == "--tree" || treeOption == "--changed-tree")) {
        const int64_t shift = treeOption == "--changed-tree" ? 1 : 0;
        DiscSet tree;
        tree.id = HexId(999999);
        tree.name = u"tree";
        tree.packs.push_back({1, u"PACK_01", DiscPackState::Written, 1, 0, {}});
        for (const auto& entry : std::filesystem::recursive_directory_iterator(argv[4])) {
            if (!entry.is_regular_file()) continue;
            zel::FileStat st;
            if (zel::IFileSystem::Default().Stat(entry.path().string(), st) != 0) continue;
            const int64_t ns = st.mtimeNs + shift;
            const std::string disk = entry.path().string();
            tree.files.push_back({1, zel::DecodeFileName(disk), zel::DecodeFileName(disk),
                                  entry.file_size(), ns, std::string()});
        }
        if (!Record(catalog, tree)) return 1;
    }

    // One more set of a million, timed, then taken out again.
    uint64_t extraBytes = 0;
    const DiscSet extra = Generated(1000000, 1000000, extraBytes);
    if (!Record(catalog, extra)) return 1;
    (void)catalog.Db().Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    const int64_t files = FileCount(catalog);
    const int64_t bytes =
        catalog.Db().QueryInt("PRAGMA page_count") * catalog.Db().QueryInt("PRAGMA page_size");
    // Every generated set has paths of the same make as this one.
    const double pathsPerFile = static_cast<double>(extraBytes) / 1000000.0;
    std::printf("catalog: %lld files, %.1f MB, %.0f bytes a file, %.0f beyond its two paths\n",
                static_cast<long long>(files), bytes / 1e6, static_cast<double>(bytes) / files,
                static_cast<double>(bytes) / files - pathsPerFile);
    TimeSearches(catalog);

    // The same set written pack by pack: each pack's state and checksums.
    DiscSet written = extra;
    std::vector<std::vector<size_t>> packFiles(written.packs.size() + 1);
    for (size_t i = 0; i < written.files.size(); ++i)
        packFiles[written.files[i].pack].push_back(i);
    const auto packsStart = Clock::now();
    const std::clock_t packsCpu = std::clock();
    for (DiscSetPack& pack : written.packs) {
        pack.state = DiscPackState::Verified;
        for (size_t i : packFiles[pack.number])
            written.files[i].sha256.assign(64, 'a');
        if (!catalog.RecordPack(written, pack.number)) {
            std::fprintf(stderr, "record pack failed: %s\n", catalog.Error().c_str());
            return 1;
        }
    }
    std::printf("recorded its %zu packs one by one: %.1f s in all (CPU %.1f s)\n",
                written.packs.size(), Seconds(packsStart),
                static_cast<double>(std::clock() - packsCpu) / CLOCKS_PER_SEC);
    const auto start = Clock::now();
    if (!catalog.RemoveSet(extra.id)) {
        std::fprintf(stderr, "remove failed: %s\n", catalog.Error().c_str());
        return 1;
    }
    std::printf("removed the set of a million: %.1f s\n", Seconds(start));
    return 0;
}
