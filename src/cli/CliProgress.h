#pragma once

#include <atomic>
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

    void Post(uint32_t message, uint64_t wParam, int64_t lParam) override;

    // The last notice that ends the work (WM_APP, WM_APP + 1 or a failure), 0 if none.
    uint32_t FinalMessage() const { return final_.load(); }
    // Erases the progress line.
    void Finish();

private:
    void Show(const std::string& text);

    std::string label_;
    bool show_;
    std::function<std::string()> currentPath_;
    std::atomic<uint32_t> final_{0};
    std::mutex mutex_;
    int64_t lastPercent_ = -1;
    bool lineShown_ = false;
};
