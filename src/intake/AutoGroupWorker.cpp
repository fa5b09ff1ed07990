#include "intake/AutoGroupWorker.h"

#include <exception>
#include <new>
#include <utility>

#include "intake/AutoGroupProposal.h"
#include "support/UiText.h"

CAutoGroupWorker::CAutoGroupWorker(CPackFolderPtr result, IZelPostTarget* target)
    : result_(std::move(result)), target_(target) {}

void CAutoGroupWorker::Post(AutoGroupNotice notice) {
    if (target_) target_->Post(notice);
}

CAutoGroupWorker::~CAutoGroupWorker() {
    // Run uses this object's fields: stop it before they go, not in the base.
    Cancel();
    Join();
}

uint32_t CAutoGroupWorker::Run() {
    try {
        table_ = ProposeAutoGroups(*result_, &cancel_);
        Post(table_ ? AutoGroupNotice::Finished : AutoGroupNotice::Cancelled);
        return 0;
    } catch (const std::bad_alloc&) {
        errorText_ = Tr16("メモリが足りないため、自動グルーピングを行えませんでした。");
    } catch (const std::exception&) {
        errorText_ = Tr16("自動グルーピングを行えませんでした。");
    }
    table_.reset();
    Post(AutoGroupNotice::Failed);
    return 1;
}
