#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "support/IZelPostTarget.h"

// Receives a worker's notices. Keeps the final notice for the caller and, when
// standard error is a terminal, shows one progress line that it rewrites.
class CliProgress : public IZelPostTarget {
public:
    CliProgress(std::string label, bool showOnTerminal,
                std::function<std::string()> currentPath = nullptr);
    ~CliProgress() override;

    void Post(const ZelNotice& notice) override;

    // Erases the progress line.
    void Finish();

private:
    void Show(const std::string& text);

    std::string label_;
    bool show_;
    std::function<std::string()> currentPath_;
    std::mutex mutex_;
    int64_t lastPercent_ = -1;
    bool lineShown_ = false;
};
