// Every file the program rewrites (profile, presets file, export) goes through
// the atomic writer: through a link the real file is replaced and the link stays.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

#include "TestSupport.h"
#include "intake/ImportSettingsFile.h"
#include "packing/PackTestSupport.h"
#include "settings/SettingsStore.h"
#include "support/FaultyFileSystem.h"
#include "support/MountNamespace.h"

using namespace testing_support;

namespace {

const char kOld[] = "old contents\n";

struct Writer {
    const char* name;
    const char* fileName;  // the presets file's name is fixed
    // Writes the new contents to folder/fileName; false when it failed.
    std::function<bool(zel::IFileSystem&, const std::string& folder)> save;
};

bool SaveProfile(zel::IFileSystem& fs, const std::string& folder) {
    SettingsStore store;
    store.packInfoList.push_back(PackInfo{u"Mine", u"123M"});
    int error = 0;
    return store.Save(fs, folder + "/Corvelin.ini", error) && error == 0;
}

bool SavePresets(zel::IFileSystem& fs, const std::string& folder) {
    std::string message;
    return SaveImportSettings(fs, folder, {MakeDefaultImportSettings()}, message);
}

bool SaveExport(zel::IFileSystem& fs, const std::string& folder) {
    CCorvelinDoc doc;
    for (int i = 0; i < 50; ++i)
        packing_test::AddFile(doc.root, "/some/file" + std::to_string(i), 7);
    std::string message;
    return doc.Pack(100) && doc.ExportPacks(folder + "/out.csv", message, fs);
}

const Writer kWriters[] = {
    {"profile", "Corvelin.ini", SaveProfile},
    {"presets", "ImportSettings.xml", SavePresets},
    {"export", "out.csv", SaveExport},
};

TEST(RewriteFault, ThroughALinkTheFinalFileIsReplacedBesideItselfAndTheLinkStays) {
    for (const Writer& writer : kWriters) {
        SCOPED_TRACE(writer.name);
        TempDir dir;
        MakeDir(dir / "conf");
        MakeDir(dir / "elsewhere");
        const std::string file = dir / "conf/" + writer.fileName;
        WriteFile(dir / "elsewhere/real", kOld);
        ASSERT_EQ(::chmod((dir / "elsewhere/real").c_str(), 0640), 0);
        const bool root = ::geteuid() == 0;
        ASSERT_TRUE(!root || ::chown((dir / "elsewhere/real").c_str(), 12345, 23456) == 0);
        // A chain of two links, one relative and one absolute.
        ASSERT_EQ(::symlink((dir / "elsewhere/real").c_str(), (dir / "elsewhere/mid").c_str()), 0);
        ASSERT_EQ(::symlink("../elsewhere/mid", file.c_str()), 0);
        FaultyFileSystem fs;
        ASSERT_TRUE(writer.save(fs, dir / "conf"));
        EXPECT_NE(ReadFile(dir / "elsewhere/real"), kOld);
        ASSERT_EQ(fs.created.size(), 1u);
        EXPECT_EQ(fs.created[0].rfind(dir / "elsewhere/.real.", 0), 0u) << fs.created[0];
        EXPECT_EQ(FolderNames(dir / "conf"), writer.fileName);
        EXPECT_EQ(FolderNames(dir / "elsewhere"), "mid|real");
        struct stat st {};
        ASSERT_EQ(::lstat(file.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        // The replacement keeps mode, owner and group (tests run as root).
        ASSERT_EQ(::stat((dir / "elsewhere/real").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(st.st_uid, root ? 12345u : ::geteuid());
        EXPECT_EQ(st.st_gid, root ? 23456u : ::getegid());
    }
}

}  // namespace
