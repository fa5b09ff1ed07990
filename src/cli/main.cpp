#include <malloc.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <new>

#include "cli/CliJob.h"
#include "cli/CliOptions.h"
#include "cli/CliSignals.h"
#include "support/PosixFileSystem.h"
#include "support/UiLanguage.h"
#include "support/UiText.h"

namespace {

// A large run touches hundreds of megabytes of small items. Transparent huge
// pages for the heap cut its page faults and TLB misses by a fifth of the
// run, but glibc takes that switch only from the environment at start-up:
// start once more with it set. CORVELIN_HUGEPAGES=0 turns this off.
void UseHugePagesForTheHeap(char** argv) {
    const char* choice = std::getenv("CORVELIN_HUGEPAGES");
    if (choice && std::strcmp(choice, "0") == 0) return;
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    const std::string current = tunables ? tunables : "";
    if (current.find("glibc.malloc.hugetlb") != std::string::npos) return;
    const std::string wanted =
        current.empty() ? "glibc.malloc.hugetlb=1" : current + ":glibc.malloc.hugetlb=1";
    if (setenv("GLIBC_TUNABLES", wanted.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Could not start again: go on as we are, with the environment as it was.
    if (tunables) {
        setenv("GLIBC_TUNABLES", current.c_str(), 1);
    } else {
        unsetenv("GLIBC_TUNABLES");
    }
}

int Main(int argc, char** argv) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(argc, argv, options, error)) {
        std::fputs(TrFormat("corvelin-cli: {error}\n'corvelin-cli --help' で使い方を表示します。\n",
                            fmt::arg("error", error))
                       .c_str(),
                   stderr);
        return kCliUsage;
    }
    if (options.help) {
        std::fputs(CliUsage().c_str(), stdout);
        return kCliOk;
    }
    if (options.version) {
        std::printf("corvelin-cli %s\n", CORVELIN_VERSION);
        return kCliOk;
    }
    InstallCliSignals(CliRequestCancel);
    // The export's waits end when a signal arrives.
    static zel::PosixFileSystem fs(CliInterruptFd());
    // A large run holds millions of small items. One arena that grows in big
    // steps spares a system call every few items, which is what a worker
    // thread's own arena costs.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_TOP_PAD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    // The job is not destroyed: giving a million items back one by one only to
    // end the process costs a noticeable part of a run. Output is flushed first.
    auto* job = new CliJob(options, fs);
    return job->Run();
}

}  // namespace

int main(int argc, char** argv) {
    UseHugePagesForTheHeap(argv);
    SetUiLanguage(UiLanguageFromEnvironment());
    // Looked up now: the catalog is not read for the first time when memory
    // has run out.
    const char* const outOfMemory = Tr("corvelin-cli: メモリが足りません\n");
    int status;
    // Unwinding gives up any export begun (its temporary file is removed).
    try {
        status = Main(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs(outOfMemory, stderr);
        status = kCliFailed;
    }
    std::fflush(nullptr);
    _exit(status);
}
