#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "intake/GroupCollector.h"
#include "model/PackItem.h"
#include "support/IZelPostTarget.h"
#include "support/ZelMfcThread.h"

// What the grouping worker tells its owner: exactly one of these, at its end.
enum class AutoGroupNotice : uint32_t {
    Finished = 0x0300,  // GetTable holds the candidates
    Cancelled,          // stopped on Cancel; GetTable is null
    Failed,             // an exception ended it; see GetErrorText
};

// Proposes the automatic-grouping candidates of one drop on its own thread
// (ProposeAutoGroups), so that a dialog can offer Cancel. It only writes the
// items' autoGroupId; the owner must not touch the items while it runs, and
// reads the results only after Join.
class CAutoGroupWorker : public ZelMfcThread {
public:
    CAutoGroupWorker(CPackFolderPtr result, IZelPostTarget* target);
    ~CAutoGroupWorker() override;

    // Any thread; the worker stops within milliseconds.
    void Cancel() { cancel_.store(1); }

    // The candidates (an empty table when none formed); null after a cancel or
    // a failure.
    const AutoGroupTablePtr& GetTable() const { return table_; }
    // Empty unless Failed was posted.
    const std::u16string& GetErrorText() const { return errorText_; }

protected:
    uint32_t Run() override;

private:
    void Post(AutoGroupNotice notice);

    CPackFolderPtr result_;
    IZelPostTarget* target_;
    std::atomic<uint32_t> cancel_{0};
    AutoGroupTablePtr table_;
    std::u16string errorText_;
};
