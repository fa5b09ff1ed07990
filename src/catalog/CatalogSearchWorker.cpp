#include "catalog/CatalogSearchWorker.h"

#include "catalog/Catalog.h"

namespace catalog {

CatalogSearchWorker::CatalogSearchWorker(std::string catalogPath, Deliver deliver)
    : path_(std::move(catalogPath)), deliver_(std::move(deliver)) {}

CatalogSearchWorker::~CatalogSearchWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        cancel_.store(true);
    }
    wake_.notify_all();
    Join();
}

uint64_t CatalogSearchWorker::Search(std::string text) {
    uint64_t ticket = 0;
    bool start = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_ = std::move(text);
        pending_ = true;
        ticket = latest_.load() + 1;
        latest_.store(ticket);
        cancel_.store(true);
        start = !IsStarted();
    }
    if (start) {
        (void)Start();
    } else {
        wake_.notify_all();
    }
    return ticket;
}

uint32_t CatalogSearchWorker::Run() {
    Catalog catalog;
    std::string openError;
    if (!catalog.Open(path_)) openError = catalog.Error();
    CatalogRows rows(catalog);
    for (;;) {
        Result result;
        std::string text;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || pending_; });
            if (stop_) return 0;
            text = std::move(text_);
            pending_ = false;
            result.ticket = latest_.load();
            cancel_.store(false);
        }
        if (refresh_.exchange(false)) rows.Refresh();
        if (!openError.empty()) {
            result.error = openError;
        } else if (!rows.Search(text, result.rows, result.more, &cancel_)) {
            result.error = catalog.Db().Error();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        // A newer search asked meanwhile: this result is of no use any more.
        if (stop_ || pending_ || result.ticket != latest_.load()) continue;
        deliver_(std::move(result));
    }
}

}  // namespace catalog
