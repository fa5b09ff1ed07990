#pragma once
// The scan tests' fixture: a tree built on disk from short entry texts, and the
// committed document and skip report rendered as text.

#include <gtest/gtest.h>
#include <unistd.h>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "intake/AddFileWorker.h"
#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "packing/CorvelinDoc.h"
#include "support/FaultyFileSystem.h"
#include "support/TextCodec.h"

namespace scan_test {

// Read the notices after Join: the worker thread posts them.
template <class Notice>
class RecordingTarget : public IZelPostTarget {
public:
    void Post(const ZelNotice& notice) override { messages.push_back(Notice(notice.code)); }
    std::vector<Notice> messages;
};

inline CImportSettingsPtr Preset(const std::vector<std::string>& inputs,
                                 const std::vector<std::string>& ignores = {}) {
    auto preset = boost::make_shared<CImportSettings>();
    for (const auto& p : inputs)
        preset->inputFilters.push_back(
            boost::make_shared<CFileNameImportFilter>(zel::Utf8ToUtf16(p), 1));
    for (const auto& p : ignores)
        preset->ignoreFilters.push_back(
            boost::make_shared<CFileNameImportFilter>(zel::Utf8ToUtf16(p), 1));
    return preset;
}

class ScanFixture : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    testing_support::FaultyFileSystem fs;  // the real one unless a test scripts it
    CCorvelinDoc doc;
    RecordingTarget<ScanNotice> target;
    std::unique_ptr<CAddFileWorker> worker;
    unsigned readAhead = 0;  // listing threads of the scans Prepare makes

    // "a/" a folder, "a/f=12" a sparse file of 12 bytes, "a/f" an empty file,
    // "a/l->t" a symbolic link to t; all below the temporary folder.
    void Make(const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            const size_t arrow = entry.find("->");
            const size_t equals = entry.rfind('=');
            if (arrow != std::string::npos) {
                ASSERT_EQ(::symlink(entry.substr(arrow + 2).c_str(),
                                    (dir / entry.substr(0, arrow)).c_str()),
                          0)
                    << entry;
            } else if (entry.back() == '/') {
                testing_support::MakeDir(dir / entry.substr(0, entry.size() - 1));
            } else if (equals != std::string::npos) {
                testing_support::MakeSparseFile(dir / entry.substr(0, equals),
                                                std::stoull(entry.substr(equals + 1)));
            } else {
                testing_support::WriteFile(dir / entry, "");
            }
        }
    }

    // Paths are below the temporary folder unless they start with a slash.
    void Prepare(CCorvelinDoc& into, const std::vector<std::string>& paths,
                 CImportSettingsPtr preset = Preset({"*.*"})) {
        std::vector<std::string> full;
        for (const std::string& p : paths)
            full.push_back(p[0] != '/' ? dir / p : p);
        worker = std::make_unique<CAddFileWorker>(fs, into, std::move(preset), full, &target);
        worker->SetReadAhead(readAhead);
    }
    // Runs a whole scan and commits its result as the owner does.
    void Scan(CCorvelinDoc& into, const std::vector<std::string>& paths,
              CImportSettingsPtr preset = Preset({"*.*"})) {
        Prepare(into, paths, std::move(preset));
        EXPECT_TRUE(worker->Start());
        worker->Join();
        worker->CommitTo(into);
    }

    std::string Relative(const std::string& path) const {
        const std::string base = dir.Path() + "/";
        return path.compare(0, base.size(), base) == 0 ? path.substr(base.size()) : path;
    }

    // The items in pre-order: "a/" a folder, "a/f=12" a file and its size,
    // each followed by " #id" when asked. Parents and levels are checked on the way.
    std::vector<std::string> Tree(const CCorvelinDoc& of, bool ids = false) const {
        std::vector<std::string> out;
        std::function<void(const CPackFolder&, uint32_t)> walk = [&](const CPackFolder& folder,
                                                                     uint32_t level) {
            for (const auto& child : folder.children) {
                EXPECT_EQ(child->parent, &folder);
                EXPECT_EQ(child->level, level);
                const std::string path = Relative(zel::EncodeFileName(child->GetPath()));
                out.push_back(child->IsFolder() ? path + "/"
                                                : path + "=" + std::to_string(child->GetSize()));
                if (ids) out.back() += " #" + std::to_string(child->GetId());
                if (child->IsFolder()) walk(*child->AsFolder(), level + 1);
            }
        };
        walk(of.root, 1);
        return out;
    }

    // The skip report, sorted: "path reason", with "/errno" when a call failed.
    std::vector<std::string> Skips() const {
        static const char* const kNames[] = {"unreadable", "stat",    "dangling", "loop",
                                             "special",    "control", "too-long", "missing",
                                             "entered",    "nested"};
        std::vector<std::string> out;
        for (const SkippedEntry& s : worker->GetSkipped()) {
            out.push_back(Relative(s.path) + " " + kNames[static_cast<int>(s.reason)]);
            if (s.error) out.back() += "/" + std::to_string(s.error);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
};

}  // namespace scan_test
