// Builds a deterministic tree of sparse files for the scan benchmarks:
//   corvelin_make_tree DIR FILES FOLDERS SEED
// The same arguments always give the same names, nesting and sizes. Files take
// no disk space (ftruncate only); sizes run from a few KB to a few GB, mostly
// small to mid, with a few past 4 GiB.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t Below(uint64_t n) { return n == 0 ? 0 : Next() % n; }
    uint64_t Between(uint64_t lo, uint64_t hi) { return lo + Below(hi - lo + 1); }

private:
    uint64_t state_;
};

const char* const kJapanese[] = {"写", "真", "動", "画", "資", "料", "音", "楽", "旅",
                                 "行", "あ", "い", "う", "え", "お", "か", "き", "く",
                                 "さ", "し", "ア", "イ", "ウ", "カ", "キ", "テ", "ス"};
const char* const kExtensions[] = {".jpg", ".mp4", ".txt", ".dat", ".iso", ".pdf", ".flac", ".mkv"};
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";

std::string Base36(uint64_t n) {
    std::string s;
    do {
        s.insert(s.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
        n /= 36;
    } while (n);
    return s;
}

// 8 to 20 characters; about one name in eight is Japanese. The serial number
// keeps names unique within the tree.
std::string MakeName(Random& rng, uint64_t serial, const char* extension) {
    const std::string tail = "-" + Base36(serial) + extension;
    const size_t length = rng.Between(8, 20);
    const size_t stem = length > tail.size() ? length - tail.size() : 1;
    const bool japanese = rng.Below(8) == 0;
    std::string name;
    for (size_t i = 0; i < stem; ++i) {
        if (japanese) {
            name += kJapanese[rng.Below(sizeof kJapanese / sizeof kJapanese[0])];
        } else {
            name += kLetters[rng.Below(sizeof kLetters - 1)];
        }
    }
    return name + tail;
}

// Mostly small to mid: 55% 4 KB-1 MB, 30% 1-100 MB, 13% 100 MB-4 GB, 2% 4-8 GB.
uint64_t MakeSize(Random& rng) {
    const uint64_t bucket = rng.Below(100);
    if (bucket < 55) return rng.Between(4ull << 10, 1ull << 20);
    if (bucket < 85) return rng.Between(1ull << 20, 100ull << 20);
    if (bucket < 98) return rng.Between(100ull << 20, 4ull << 30);
    return rng.Between((4ull << 30) + 1, 8ull << 30);
}

bool ParseCount(const char* text, uint64_t& out) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || text[0] == '-') return false;
    out = value;
    return true;
}

int Fail(const std::string& what, const std::string& path) {
    std::fprintf(stderr, "corvelin_make_tree: %s %s: %s\n", what.c_str(), path.c_str(),
                 std::strerror(errno));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t files = 0;
    uint64_t folders = 0;
    uint64_t seed = 0;
    if (argc != 5 || !ParseCount(argv[2], files) || !ParseCount(argv[3], folders) ||
        !ParseCount(argv[4], seed)) {
        std::fprintf(stderr, "usage: corvelin_make_tree DIR FILES FOLDERS SEED\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string root = argv[1];
    if (::mkdir(root.c_str(), 0755) != 0 && errno != EEXIST) return Fail("cannot create", root);

    Random rng(seed);
    // Folder i hangs below the root or below an earlier folder, at most four deep.
    std::vector<std::string> paths;
    std::vector<uint32_t> depth;
    paths.reserve(folders);
    depth.reserve(folders);
    for (uint64_t i = 0; i < folders; ++i) {
        std::string parent = root;
        uint32_t level = 1;
        if (i > 0 && rng.Below(8) != 0) {
            uint64_t p = rng.Below(i);
            while (depth[p] >= 4)
                p = rng.Below(p);  // folder 0 sits at depth 1
            parent = paths[p];
            level = depth[p] + 1;
        }
        paths.push_back(parent + "/" + MakeName(rng, i, ""));
        depth.push_back(level);
        if (::mkdir(paths.back().c_str(), 0755) != 0) return Fail("cannot create", paths.back());
    }
    if (paths.empty()) {
        paths.push_back(root);
        depth.push_back(0);
    }

    // Uneven folder sizes: weights 1..100 squared, files dealt out in proportion.
    std::vector<uint64_t> weight(paths.size());
    uint64_t total = 0;
    for (auto& w : weight) {
        const uint64_t r = rng.Between(1, 100);
        w = r * r;
        total += w;
    }
    std::vector<uint64_t> count(paths.size());
    uint64_t dealt = 0;
    uint64_t acc = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        acc += weight[i];
        const uint64_t upto =
            static_cast<uint64_t>(static_cast<unsigned __int128>(files) * acc / total);
        count[i] = upto - dealt;
        dealt = upto;
    }

    uint64_t serial = 0;
    uint64_t bytes = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (count[i] == 0) continue;
        const int dir = ::open(paths[i].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0) return Fail("cannot open", paths[i]);
        for (uint64_t k = 0; k < count[i]; ++k, ++serial) {
            const char* ext = kExtensions[rng.Below(sizeof kExtensions / sizeof kExtensions[0])];
            const std::string name = MakeName(rng, serial, ext);
            const uint64_t size = MakeSize(rng);
            const int fd =
                ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) return Fail("cannot create", paths[i] + "/" + name);
            if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
                return Fail("cannot size", paths[i] + "/" + name);
            }
            ::close(fd);
            bytes += size;
        }
        ::close(dir);
    }

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%llu files (%llu bytes) in %zu folders under %s, seed %llu, %.2f s\n",
                static_cast<unsigned long long>(serial), static_cast<unsigned long long>(bytes),
                folders == 0 ? size_t{0} : paths.size(), root.c_str(),
                static_cast<unsigned long long>(seed), seconds);
    return 0;
}
