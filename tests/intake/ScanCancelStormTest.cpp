// Scans cancelled at random moments: a cancelled scan leaves the document as it
// was, a scan that handed over brings exactly what an undisturbed scan brings.

#include <sys/stat.h>

#include "CancelStorm.h"
#include "ScanTestSupport.h"

using namespace scan_test;

namespace {

// Folders a few levels deep, a dropped file, a path that is gone, and entries
// that are reported rather than taken (a dangling link, a loop, a FIFO).
class ScanStorm : public ScanFixture {
protected:
    std::vector<std::string> referenceTree, referenceSkips;
    uint32_t referenceNext = 0;

    void SetUp() override {
        for (const std::string top : {"one/", "two/"}) {
            Make({top, top + "dangling->nowhere"});
            for (int d = 0; d < 4; ++d) {
                const std::string sub = top + "d" + std::to_string(d) + "/";
                Make({sub, sub + "inner/"});
                for (int f = 0; f < 12; ++f)
                    Make({sub + "f" + std::to_string(f) + ".dat=" + std::to_string(1000 * f + d),
                          sub + "inner/g" + std::to_string(f) + ".txt=" + std::to_string(f)});
            }
            ASSERT_EQ(::mkfifo((dir / top + "d1/fifo").c_str(), 0600), 0);
            Make({top + "d0/inner/up->../../d0"});
        }
        Make({"single.iso=123456789"});
        CCorvelinDoc reference;
        Round(reference, [](CAddFileWorker&) {});
        referenceTree = Tree(reference, true);
        referenceSkips = Skips();
        referenceNext = reference.nextItemId;
        ASSERT_GT(referenceTree.size(), 200u);
        ASSERT_EQ(referenceSkips.size(), 7u);
    }

    // One scan into a document that already holds an item; cancel(worker) runs
    // once it started. Half the scans list ahead on other threads, as the CLI does.
    template <class Cancel>
    bool Round(CCorvelinDoc& into, Cancel cancel, unsigned readAhead = 0) {
        into.nextItemId = 40;
        into.root.AppendChild(CPackItem::Create(into.nextItemId++, u"/earlier", 5));
        Prepare(into, {"one", "single.iso", "gone", "two"});
        worker->SetReadAhead(readAhead);
        EXPECT_TRUE(worker->Start());
        cancel(*worker);
        worker->Join();
        worker->CommitTo(into);
        EXPECT_EQ(target.messages.back(),
                  worker->Completed() ? ScanNotice::Finished : ScanNotice::Cancelled);
        if (!worker->Completed()) {
            EXPECT_EQ(Tree(into), std::vector<std::string>{"/earlier=5"});
            EXPECT_EQ(into.nextItemId, 41u);
            EXPECT_TRUE(Skips().empty());
        } else if (!referenceTree.empty()) {
            EXPECT_EQ(Tree(into, true), referenceTree);
            EXPECT_EQ(Skips(), referenceSkips);
            EXPECT_EQ(into.nextItemId, referenceNext);
        }
        return worker->Completed();
    }
};

TEST_F(ScanStorm, CancelAtRandomMoments) {
    const auto scanTime = testing_support::TimeOf([&] {
        for (int i = 0; i < 4; ++i) {
            CCorvelinDoc doc;
            Round(doc, [](CAddFileWorker&) {});
        }
    });
    testing_support::CancelStorm(scanTime / 3, 20240611,
                                 [&](int i, std::chrono::nanoseconds delay) {
                                     CCorvelinDoc doc;
                                     const auto cancel = [&](CAddFileWorker& running) {
                                         testing_support::SpinFor(delay);
                                         running.Cancel();
                                     };
                                     return Round(doc, cancel, i % 2 == 0 ? 0 : 2);
                                 });
}

}  // namespace
