#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

#include "support/IZelPostTarget.h"
#include "support/ZelFastMutex.h"

// Carries a worker's notices onto the UI thread as queued calls. Posting never
// blocks on the UI. Notices of the coalesced kinds (progress, path changed)
// keep one pending entry whose value the latest post replaces, so a fast
// worker cannot flood the event queue; every other notice, the final one in
// particular, is delivered in order. Once disconnected (the dialog is going),
// pending and later notices are dropped. Must outlive the worker's thread.
class CWorkerNotices : public IZelPostTarget {
public:
    template <class Notice>
    explicit CWorkerNotices(std::initializer_list<Notice> coalesced) {
        for (Notice notice : coalesced)
            coalesced_.push_back(static_cast<uint32_t>(notice));
    }
    ~CWorkerNotices() override;

    // deliver runs on receiver's thread, for each notice in order.
    void Connect(QObject* receiver, std::function<void(const ZelNotice&)> deliver);
    void Disconnect();

    void Post(const ZelNotice& notice) override;

private:
    void Drain();

    std::vector<uint32_t> coalesced_;
    ZelFastMutex lock_;
    QObject* receiver_ = nullptr;
    std::function<void(const ZelNotice&)> deliver_;
    std::deque<ZelNotice> pending_;
    bool scheduled_ = false;
};
