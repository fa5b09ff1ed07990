// Writes a deterministic inventory for the --from-list benchmark to standard
// output, as find DIR -type f -printf '%s\t%p\0' would list such a tree:
//   corvelin_make_inventory RECORDS FOLDERS SEED [PARENTS]
// Paths average about 90 bytes; sizes run from a few KB to a few GB. The
// folders are grouped a hundred to a project folder, or with PARENTS in that
// many parent folders (1: all in one, as object stores and mail folders keep
// them).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

uint64_t g_state = 0;

uint64_t Next() {
    uint64_t z = (g_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string Word(size_t length) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789_-";
    std::string out;
    for (size_t i = 0; i < length; ++i)
        out += kLetters[Next() % (sizeof kLetters - 1)];
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: corvelin_make_inventory RECORDS FOLDERS SEED [PARENTS]\n");
        return 2;
    }
    const uint64_t records = std::strtoull(argv[1], nullptr, 10);
    const uint64_t folders = std::strtoull(argv[2], nullptr, 10);
    g_state = std::strtoull(argv[3], nullptr, 10);
    const uint64_t parents = argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 0;
    if (folders == 0 || (argc == 5 && parents == 0)) return 2;
    const uint64_t perParent = parents == 0 ? 0 : (folders + parents - 1) / parents;
    std::string out;
    std::string folder;
    const uint64_t perFolder = (records + folders - 1) / folders;
    for (uint64_t i = 0; i < records; ++i) {
        if (i % perFolder == 0) {
            const uint64_t f = i / perFolder;
            folder = parents != 0 ? "/srv/objects/store-" + std::to_string(f / perParent) + "/" +
                                        std::to_string(f) + "-" + Word(10) + "/"
                                  : "/srv/archive/volume-" + std::to_string(f / 100) + "/project-" +
                                        Word(8) + "/" + std::to_string(f) + "-" + Word(10) + "/";
        }
        const uint64_t roll = Next() % 100;
        const uint64_t size = roll < 60   ? Next() % 200000
                              : roll < 95 ? Next() % 50000000
                                          : Next() % 5000000000ull;
        out += std::to_string(size);
        out += '\t';
        out += folder;
        out += Word(14 + Next() % 20) + "-" + std::to_string(i) + ".dat";
        out += '\0';
        if (out.size() > (1 << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
