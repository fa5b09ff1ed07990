#include "catalog/CatalogSearchWorker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "CatalogTestSupport.h"

using catalog::CatalogSearchWorker;

namespace {

struct Delivered {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<CatalogSearchWorker::Result> results;
    int stale = 0;  // results no longer the newest search's when delivered
};

}  // namespace

// Every keystroke supersedes the search before it: once a newer one is asked
// for, no older result comes any more, and the newest one always does. The
// worker is destroyed with a search running, as a window closed mid-search.
TEST(CatalogSearchWorkerTest, ASupersededSearchDeliversNothing) {
    testing_support::TempDir dir;
    const std::string path = dir / "catalog.sqlite";
    {
        std::vector<std::string> files;
        for (int i = 0; i < 5000; ++i)
            files.push_back("/d" + std::to_string(i % 50) + "/n" + std::to_string(i));
        catalog::Catalog catalog;
        ASSERT_TRUE(catalog.Open(path));
        ASSERT_TRUE(catalog.Record(catalog_test::MakeSet(std::string(32, 'a'), "A", files)));
    }
    Delivered delivered;
    CatalogSearchWorker* self = nullptr;
    CatalogSearchWorker worker(path, [&](CatalogSearchWorker::Result&& result) {
        std::lock_guard<std::mutex> lock(delivered.mutex);
        delivered.stale += !self->Current(result.ticket);
        delivered.results.push_back(std::move(result));
        delivered.arrived.notify_all();
    });
    self = &worker;
    for (int round = 0; round < 20; ++round) {
        // A pause lets the worker take up each one before the next supersedes it.
        for (const char* text : {"n", "1", "d4", "n2"}) {
            (void)worker.Search(text);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const uint64_t last = worker.Search("n4999");
        std::unique_lock<std::mutex> lock(delivered.mutex);
        ASSERT_TRUE(delivered.arrived.wait_for(lock, std::chrono::seconds(30), [&] {
            return !delivered.results.empty() && delivered.results.back().ticket == last;
        }));
        ASSERT_EQ(delivered.results.back().rows.size(), 1u);
        EXPECT_EQ(delivered.results.back().rows[0].diskPath, "/d49/n4999");
    }
    EXPECT_EQ(delivered.stale, 0);
    (void)worker.Search("n");
}
