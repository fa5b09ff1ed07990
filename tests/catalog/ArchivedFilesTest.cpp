#include "catalog/ArchivedFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <boost/make_shared.hpp>

#include "CatalogTestSupport.h"
#include "intake/AddFileWorker.h"
#include "intake/FileNameImportFilter.h"
#include "packing/CorvelinDoc.h"
#include "support/FileSystem.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

DiscSetFile Catalogued(const std::string& path, int64_t timeShift = 0) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return {1,
            u"/D/x",
            zel::DecodeFileName(path),
            static_cast<uint64_t>(st.st_size),
            st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec + timeShift,
            {}};
}

TEST(ArchivedFilesTest, TheScanLeavesOutArchivedFilesAndMarksChangedOnes) {
    TempDir dir;
    testing_support::MakeDir(dir / "p");
    testing_support::MakeDir(dir / "pq");
    for (const char* name : {"p/same", "p/changed", "p/new", "pq/same", "file.txt"}) {
        WriteFile(dir / name, "abc");
    }
    catalog::Catalog catalog;
    ASSERT_TRUE(catalog.Open(dir / "catalog.sqlite"));
    DiscSet set = catalog_test::MakeSet(std::string(32, 'a'), "旅行", {});
    set.files = {Catalogued(dir / "p/same"), Catalogued(dir / "p/changed", 1),
                 Catalogued(dir / "pq/same"), Catalogued(dir / "file.txt")};
    ASSERT_TRUE(catalog.Record(set));

    const std::vector<std::string> roots = {dir / "p", dir / "file.txt"};
    catalog::ArchivedFiles archived;
    std::string error;
    ASSERT_TRUE(archived.Load(catalog, roots, error)) << error;
    EXPECT_EQ(archived.LoadedCount(), 3u);  // not the files of "pq"

    CCorvelinDoc doc;
    auto preset = boost::make_shared<CImportSettings>();
    preset->inputFilters.push_back(boost::make_shared<CFileNameImportFilter>(u"*.*", 1));
    CAddFileWorker worker(zel::IFileSystem::Default(), doc, preset, roots, nullptr);
    worker.SetArchiveCheck(&archived);
    ASSERT_TRUE(worker.Start());
    worker.Join();
    ASSERT_TRUE(worker.CommitTo(doc));

    ASSERT_EQ(doc.root.children.size(), 1u);  // the folder; the dropped file was archived
    const CPackFolder* folder = doc.root.children[0]->AsFolder();
    ASSERT_NE(folder, nullptr);
    std::vector<std::string> taken;
    for (const auto& child : folder->children) {
        taken.push_back(std::string(zel::EncodeFileName(child->GetFileName().ToString())) +
                        (child->archiveChanged ? " changed" : ""));
    }
    EXPECT_EQ(taken, (std::vector<std::string>{"changed changed", "new"}));
    EXPECT_EQ(archived.ArchivedCount(), 2u);
    EXPECT_EQ(archived.ChangedCount(), 1u);
    const std::string report = catalog::DescribeArchived(archived, catalog.Discs());
    EXPECT_NE(report.find(" 2 個"), std::string::npos) << report;
    EXPECT_NE(report.find("旅行 / PACK_01: 2 個"), std::string::npos) << report;
}

}  // namespace
