#pragma once

#include <memory>
#include <string>

#include "cli/CliOptions.h"
#include "support/FileSystem.h"

// Exit statuses of corvelin-cli.
enum CliStatus : int {
    kCliOk = 0,
    kCliFailed = 1,  // a scan or the export failed
    kCliUsage = 2,   // the command line, a size or a preset name is wrong
    kCliInterrupted = 130,
};

// One run of the command-line program: settings, scan, grouping, packing,
// export and summary, as the desktop program does them.
class CCorvelinDoc;

class CliJob {
public:
    explicit CliJob(const CliOptions& options, zel::IFileSystem& fs = zel::IFileSystem::Default());
    ~CliJob();
    int Run();

private:
    CliOptions options_;  // a copy: the profile fills in what the command line left open
    zel::IFileSystem& fs_;
    std::unique_ptr<CCorvelinDoc> doc_;  // kept past Run for the caller to drop or not
};

// Asks the running job to stop (async-signal-safe).
void CliRequestCancel();
