// Every file the program rewrites (profile, presets file, export), against every
// way a rewrite fails: the old file stays byte for byte, a link stays a link,
// and nothing is left beside either.

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

enum class Fault { NoPermission, ReadOnly, Full, Link };

struct FaultCase {
    const char* name;
    Fault fault;
    Isolation isolation;
};

const FaultCase kFaults[] = {
    {"no permission", Fault::NoPermission, Isolation::Unprivileged},
    {"read-only", Fault::ReadOnly, Isolation::ReadOnly},
    {"full", Fault::Full, Isolation::None},
    {"link", Fault::Link, Isolation::None},
};

// What a failed rewrite must leave: the old contents and nothing else.
std::string Outcome(bool ok, const std::string& file, const std::string& folder) {
    return (ok ? "saved\n" : "failed\n") + ReadFile(file) + "--\n" + FolderNames(folder);
}

TEST(RewriteFault, AFailedRewriteKeepsTheOldFileAndLeavesNothingBesideIt) {
    std::string skipped;
    for (const Writer& writer : kWriters) {
        for (const FaultCase& c : kFaults) {
            SCOPED_TRACE(std::string(writer.name) + ", " + c.name);
            TempDir dir;
            const std::string folder = dir / "conf";
            const std::string elsewhere = dir / "elsewhere";
            MakeDir(folder);
            MakeDir(elsewhere);
            const std::string file = folder + "/" + writer.fileName;
            std::string target = file;  // the file that holds the contents
            if (c.fault == Fault::Link) {
                target = elsewhere + "/real";
                ASSERT_EQ(::symlink("../elsewhere/real", file.c_str()), 0);
            }
            WriteFile(target, kOld);
            if (c.fault == Fault::NoPermission) {
                // A folder anyone may write, a file only its owner may.
                ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
                ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
                ASSERT_EQ(::chmod(file.c_str(), ::geteuid() == 0 ? 0644 : 0444), 0);
            }
            const auto run = RunIsolated(folder, c.isolation, [&] {
                FaultyFileSystem fs;
                if (c.fault == Fault::Full || c.fault == Fault::Link) fs.diskSpace = 20;
                const bool ok = writer.save(fs, folder);
                return Outcome(ok, target, folder) + "\n" + FolderNames(elsewhere);
            });
            if (!run.available) {
                skipped += std::string(c.name) + ": " + run.skipReason + "\n";
                continue;
            }
            const std::string names = c.fault == Fault::Link ? "real" : "";
            EXPECT_EQ(run.output, Outcome(false, target, folder) + "\n" + names);
            EXPECT_EQ(ReadFile(target), kOld);
            struct stat st {};
            ASSERT_EQ(::lstat(file.c_str(), &st), 0);
            EXPECT_EQ(S_ISLNK(st.st_mode), c.fault == Fault::Link);
        }
    }
    if (!skipped.empty()) GTEST_SKIP() << skipped;
}

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
