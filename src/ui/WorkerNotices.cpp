#include "ui/WorkerNotices.h"

#include <algorithm>

CWorkerNotices::~CWorkerNotices() {
    Disconnect();
}

void CWorkerNotices::Connect(QObject* receiver, std::function<void(const ZelNotice&)> deliver) {
    ZelScopedLock guard(&lock_);
    receiver_ = receiver;
    deliver_ = std::move(deliver);
}

void CWorkerNotices::Disconnect() {
    ZelScopedLock guard(&lock_);
    receiver_ = nullptr;
    deliver_ = nullptr;
    pending_.clear();
}

void CWorkerNotices::Post(const ZelNotice& notice) {
    ZelScopedLock guard(&lock_);
    if (!receiver_) return;
    const bool coalesce =
        std::find(coalesced_.begin(), coalesced_.end(), notice.code) != coalesced_.end();
    auto same = std::find_if(pending_.begin(), pending_.end(),
                             [&](const ZelNotice& p) { return p.code == notice.code; });
    if (coalesce && same != pending_.end()) {
        same->value = notice.value;
    } else {
        pending_.push_back(notice);
    }
    if (scheduled_) return;
    scheduled_ = true;
    // The call is bound to the receiver: it is dropped if the receiver goes first.
    QMetaObject::invokeMethod(
        receiver_, [this] { Drain(); }, Qt::QueuedConnection);
}

void CWorkerNotices::Drain() {
    std::deque<ZelNotice> notices;
    std::function<void(const ZelNotice&)> deliver;
    {
        ZelScopedLock guard(&lock_);
        notices.swap(pending_);
        scheduled_ = false;
        deliver = deliver_;
    }
    if (!deliver) return;
    for (const ZelNotice& notice : notices)
        deliver(notice);
}
