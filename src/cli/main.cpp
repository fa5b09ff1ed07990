#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/CliJob.h"
#include "cli/CliOptions.h"

namespace {

void OnSignal(int) {
    CliRequestCancel();
}

}  // namespace

int main(int argc, char** argv) {
    CliOptions options;
    std::string error;
    if (!ParseCliOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "corvelin-cli: %s\n'corvelin-cli --help' で使い方を表示します。\n",
                     error.c_str());
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
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed reader of the export gets a write error, not a silent death.
    signal(SIGPIPE, SIG_IGN);
    return CliJob(options).Run();
}
