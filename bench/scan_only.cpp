// The scan alone, as corvelin-cli runs it, without packing or export: the
// figure to hold against the minimal walker (corvelin_min_walk).
//
//   corvelin_scan_only DIR [READERS]   (default: as corvelin-cli chooses)
//
// Prints the number of items scanned and skipped.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "intake/AddFileWorker.h"
#include "intake/ImportSettingsFile.h"
#include "packing/CorvelinDoc.h"
#include "support/FileSystem.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [READERS]\n", argv[0]);
        return 2;
    }
    CCorvelinDoc doc;
    CAddFileWorker worker(zel::IFileSystem::Default(), doc, MakeViewDefaultImportSettings(),
                          std::vector<std::string>{argv[1]}, nullptr);
    worker.SetReadAhead(argc > 2 ? static_cast<unsigned>(std::atoi(argv[2]))
                                 : CAddFileWorker::DefaultReaders());
    if (!worker.Start()) return 1;
    worker.Join();
    if (!worker.CommitTo(doc)) return 1;
    std::printf("%u items, %zu skipped\n", doc.nextItemId - 1, worker.GetSkipped().size());
    std::fflush(stdout);
    // The floor frees nothing either: leave the tree to the end of the process.
    std::_Exit(0);
}
