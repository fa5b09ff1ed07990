#include "intake/AutoGroupWorker.h"

#include <exception>
#include <new>
#include <utility>

#include "intake/AutoGroupProposal.h"

CAutoGroupWorker::CAutoGroupWorker(CPackFolderPtr result, IZelPostTarget* target)
    : result_(std::move(result)), target_(target) {}

CAutoGroupWorker::~CAutoGroupWorker() {
    // Run uses this object's fields: stop it before they go, not in the base.
    Cancel();
    Join();
}

uint32_t CAutoGroupWorker::Run() {
    try {
        table_ = ProposeAutoGroups(*result_, &cancel_);
        if (!table_) return 0;
        if (target_) target_->Post(kAutoGroupFinished, 0, 0);
        return 0;
    } catch (const std::bad_alloc&) {
        errorText_ = u"メモリが足りないため、自動グルーピングを行えませんでした。";
    } catch (const std::exception&) {
        errorText_ = u"自動グルーピングを行えませんでした。";
    }
    table_.reset();
    if (target_) target_->Post(kAutoGroupFailed, 0, 0);
    return 1;
}
