#pragma once
// Helpers for the folder-scan tests: a post target that records notices, presets
// built from patterns, a file system that fails or lies where a test says so,
// and accessors for the scanned tree.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "intake/AddFileWorker.h"
#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettings.h"
#include "model/PackItem.h"
#include "packing/CorvelinDoc.h"
#include "support/FaultyFileSystem.h"
#include "support/PosixFileSystem.h"
#include "support/TextCodec.h"

namespace scan_test {

class RecordingTarget : public IZelPostTarget {
public:
    void Post(const ZelNotice& notice) override {
        const auto message = static_cast<ScanNotice>(notice.code);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            messages_.push_back(message);
        }
        if (onPost) onPost(message);
    }
    std::vector<ScanNotice> Messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    size_t Count(ScanNotice message) const {
        size_t n = 0;
        for (ScanNotice m : Messages())
            n += m == message;
        return n;
    }

    std::function<void(ScanNotice)> onPost;  // runs on the worker thread

private:
    mutable std::mutex mutex_;
    std::vector<ScanNotice> messages_;
};

using FakeFileSystem = testing_support::FaultyFileSystem;
using testing_support::FakeEntry;
using testing_support::FakeStat;

inline CImportSettingsPtr Preset(const std::vector<std::string>& inputs,
                                 const std::vector<std::string>& ignores = {}) {
    auto preset = boost::make_shared<CImportSettings>();
    for (const auto& p : inputs) {
        preset->inputFilters.push_back(
            boost::make_shared<CFileNameImportFilter>(testing_support::U(p), 1));
    }
    for (const auto& p : ignores) {
        preset->ignoreFilters.push_back(
            boost::make_shared<CFileNameImportFilter>(testing_support::U(p), 1));
    }
    return preset;
}

inline CImportSettingsPtr AllFiles() {
    return Preset({"*.*"});
}

// Builds a worker, runs the whole scan on its thread, waits for its end and
// commits its result to doc as the owner does.
inline std::unique_ptr<CAddFileWorker> RunScan(CCorvelinDoc& doc, std::vector<std::string> paths,
                                               CImportSettingsPtr settings,
                                               RecordingTarget* target = nullptr,
                                               zel::IFileSystem& fs = zel::IFileSystem::Default()) {
    auto worker =
        std::make_unique<CAddFileWorker>(fs, doc, std::move(settings), std::move(paths), target);
    EXPECT_TRUE(worker->Start());
    worker->Join();
    worker->CommitTo(doc);
    return worker;
}

// The raw bytes of an item's path, as the file system would take them.
inline std::string PathBytes(const CPackItem& item) {
    return zel::EncodeFileName(item.GetPath());
}

// The last part of each child's path, in the children's order.
inline std::vector<std::string> ChildNames(const CPackFolder& folder) {
    std::vector<std::string> names;
    for (const auto& child : folder.children) {
        const std::string path = PathBytes(*child);
        names.push_back(path.substr(path.rfind('/') + 1));
    }
    return names;
}

inline CPackItem* Child(const CPackFolder& folder, const std::string& name) {
    for (const auto& child : folder.children) {
        const std::string path = PathBytes(*child);
        if (path.substr(path.rfind('/') + 1) == name) return child.get();
    }
    return nullptr;
}

inline CPackFolder* SubFolder(const CPackFolder& folder, const std::string& name) {
    CPackItem* item = Child(folder, name);
    return item ? item->AsFolder() : nullptr;
}

// Every node below folder, in pre-order.
inline void Collect(const CPackFolder& folder, std::vector<const CPackItem*>& out) {
    for (const auto& child : folder.children) {
        out.push_back(child.get());
        if (child->IsFolder()) Collect(*static_cast<const CPackFolder*>(child.get()), out);
    }
}

inline bool WasSkipped(const CAddFileWorker& worker, const std::string& path, SkipReason reason) {
    for (const SkippedEntry& s : worker.GetSkipped()) {
        if (s.path == path && s.reason == reason) return true;
    }
    return false;
}

}  // namespace scan_test
