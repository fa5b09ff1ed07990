#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "intake/GroupCollector.h"
#include "model/PackItem.h"
#include "support/IZelPostTarget.h"
#include "support/ZelMfcThread.h"

// Notices the grouping worker posts to its target (both parameters 0); their
// values differ from every other worker's.
constexpr uint32_t kAutoGroupFinished = 0x8010;  // GetTable holds the candidates
constexpr uint32_t kAutoGroupFailed = 0x8011;    // an exception ended it; see GetErrorText

// Proposes the automatic-grouping candidates of one drop on its own thread
// (ProposeAutoGroups), so that a dialog can offer Cancel. It only writes the
// items' autoGroupId; the owner must not touch the items while it runs, and
// reads the results only after Join. A cancel posts nothing.
class CAutoGroupWorker : public ZelMfcThread {
public:
    CAutoGroupWorker(CPackFolderPtr result, IZelPostTarget* target);
    ~CAutoGroupWorker() override;

    // Any thread; the worker stops within milliseconds.
    void Cancel() { cancel_.store(1); }

    // The candidates (an empty table when none formed); null after a cancel or
    // a failure.
    const AutoGroupTablePtr& GetTable() const { return table_; }
    // Empty unless kAutoGroupFailed was posted.
    const std::u16string& GetErrorText() const { return errorText_; }

protected:
    uint32_t Run() override;

private:
    CPackFolderPtr result_;
    IZelPostTarget* target_;
    std::atomic<uint32_t> cancel_{0};
    AutoGroupTablePtr table_;
    std::u16string errorText_;
};
