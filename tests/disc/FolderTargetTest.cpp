#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <deque>

#include "TestSupport.h"
#include "disc/DiscSetBuilder.h"
#include "disc/DiscSetWriter.h"
#include "disc/DiscVerifier.h"
#include "disc/FileSystemLimits.h"
#include "support/PosixFileSystem.h"
#include "support/TextCodec.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

const char* const kNames[] = {"a=b.txt", "back\\slash.txt", "with space.txt", "日本語.txt",
                              "\xff\xfe.bin"};

// A file system of its own for the targets, so that a full one can be made.
class Tmpfs {
public:
    Tmpfs(const std::string& path, const char* size) : path_(path) {
        testing_support::MakeDir(path);
        mounted_ =
            ::mount("tmpfs", path.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
    ~Tmpfs() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }

private:
    std::string path_;
    bool mounted_ = false;
};

class Host : public IDiscWriterHost {
public:
    void Progress(const DiscProgress& progress) override {
        if (cancelWhileWriting && progress.phase == DiscPhase::Writing) cancel->store(true);
    }
    MediumAnswer AskForMedium(uint32_t, uint32_t, const std::u16string&) override {
        return MediumAnswer::Stop;
    }
    MediumAnswer AskForFolder(uint32_t, uint32_t, const std::u16string& problem,
                              std::string& folder) override {
        problems.push_back(zel::Utf16ToUtf8(problem));
        if (folders.empty()) return MediumAnswer::Stop;
        folder = folders.front();
        folders.pop_front();
        return MediumAnswer::Go;
    }

    std::deque<std::string> folders;
    std::vector<std::string> problems;
    bool cancelWhileWriting = false;
    std::atomic<bool>* cancel = nullptr;
};

class FolderTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::MakeDir(dir / "src");
        set.id = "00112233445566778899aabbccddeeff";
        set.target = u"folder";
        set.packs.push_back({1, u"PACK_1", DiscPackState::Planned, 0, 0, u""});
        for (const char* name : kNames)
            AddFile(std::string("/名前/") + name, std::string(name) + " contents");
        AddFile("/big.bin", std::string(200000, 'x'));
        ::chmod((dir / "src/日本語.txt").c_str(), 0640);
        options.toFolders = true;
        host.cancel = &cancel;
    }

    void AddFile(const std::string& discPath, const std::string& contents) {
        const std::string disk = dir / "src" + discPath.substr(discPath.rfind('/'));
        WriteFile(disk, contents);
        DiscSetFile file;
        file.pack = 1;
        file.discPath = zel::DecodeFileName(discPath);
        file.diskPath = zel::DecodeFileName(disk);
        StatSource(disk, file.size, file.mtimeNs);
        set.files.push_back(file);
    }

    CDiscSetWriter::Outcome Run(const std::string& folder) {
        host.folders = {folder};
        host.problems.clear();
        CDiscSetWriter writer(set, dir / "x.cvset", fs);
        return writer.Run(options, host, cancel);
    }

    std::string Target(const std::string& name) { return dir / "t/名前/" + name; }

    TempDir dir;
    zel::PosixFileSystem fs;
    DiscSet set;
    DiscWriteOptions options;
    Host host;
    std::atomic<bool> cancel{false};
};

TEST_F(FolderTargetTest, CopiesCancelsResumesAndVerificationNamesAChangedFile) {
    Tmpfs target(dir / "t", "4m");
    if (!target.Mounted()) GTEST_SKIP() << "mounting a tmpfs was refused: " << std::strerror(errno);
    // Cancelled as copying starts: nothing under a real name, no temporary left.
    host.cancelWhileWriting = true;
    EXPECT_EQ(Run(dir / "t"), CDiscSetWriter::Outcome::Cancelled);
    EXPECT_EQ(set.packs[0].state, DiscPackState::Failed);
    struct stat st;
    EXPECT_NE(::stat(Target("a=b.txt").c_str(), &st), 0);

    // A stopped run's leftovers: one file complete (kept as it is), one
    // temporary file of this set (removed).
    host.cancelWhileWriting = false;
    cancel = false;
    ::mkdir((dir / "t/名前").c_str(), 0755);
    WriteFile(Target("a=b.txt"), "a=b.txt contents");
    ::stat(Target("a=b.txt").c_str(), &st);
    const ino_t kept = st.st_ino;
    const std::string leftover = dir / "t/名前/.cv-001122334455-1.tmp";
    WriteFile(leftover, "half");
    ASSERT_EQ(Run(dir / "t"), CDiscSetWriter::Outcome::Done)
        << zel::Utf16ToUtf8(set.packs[0].reason);
    EXPECT_EQ(set.packs[0].state, DiscPackState::Verified);
    ::stat(Target("a=b.txt").c_str(), &st);
    EXPECT_EQ(st.st_ino, kept);
    EXPECT_NE(::stat(leftover.c_str(), &st), 0);
    for (const char* name : kNames)
        EXPECT_EQ(ReadFile(Target(name)), std::string(name) + " contents") << name;
    // Permissions and times as the source has them.
    struct stat source;
    ::stat((dir / "src/日本語.txt").c_str(), &source);
    ::stat(Target("日本語.txt").c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_nsec, source.st_mtim.tv_nsec);
    EXPECT_EQ(st.st_mtim.tv_sec, source.st_mtim.tv_sec);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::system(
                  ("cd '" + dir / "t" + "' && sha256sum -c --quiet _CORVELIN/SHA256SUMS").c_str()),
              0);

    WriteFile(Target("with space.txt"), "with space.txt contentz");
    const VerifyResult result = VerifyMedium(dir / "t", nullptr, {});
    EXPECT_EQ(result.outcome, VerifyResult::Outcome::Differs);
    EXPECT_EQ(result.changed, std::vector<std::string>{"名前/with space.txt"});
}

TEST_F(FolderTargetTest, RefusesAClashAndAFullTargetWithoutTouchingThem) {
    Tmpfs target(dir / "t", "64k");
    if (!target.Mounted()) GTEST_SKIP() << "mounting a tmpfs was refused: " << std::strerror(errno);
    // Not enough room: the pack is refused before a byte is copied.
    EXPECT_EQ(Run(dir / "t"), CDiscSetWriter::Outcome::Stopped);
    ASSERT_EQ(host.problems.size(), 2u);
    EXPECT_NE(host.problems[1].find("空き容量が足りません"), std::string::npos) << host.problems[1];
    struct stat st;
    EXPECT_NE(::stat((dir / "t/名前").c_str(), &st), 0);

    set.files.pop_back();  // big.bin
    ::mkdir((dir / "t/名前").c_str(), 0755);
    WriteFile(Target("日本語.txt"), "the user's own");
    EXPECT_EQ(Run(dir / "t"), CDiscSetWriter::Outcome::Stopped);
    ASSERT_EQ(host.problems.size(), 2u);
    EXPECT_NE(host.problems[1].find("/名前/日本語.txt"), std::string::npos) << host.problems[1];
    EXPECT_EQ(ReadFile(Target("日本語.txt")), "the user's own");
    EXPECT_NE(::stat(Target("a=b.txt").c_str(), &st), 0);
    EXPECT_EQ(set.packs[0].state, DiscPackState::Failed);

    // A set file edited to leave the folder: refused before anything is asked.
    for (const char16_t* path : {u"/../escape.txt", u"/_corvelin/x"}) {
        set.files[0].discPath = path;
        EXPECT_EQ(Run(dir / "t"), CDiscSetWriter::Outcome::SomeFailed);
        EXPECT_TRUE(host.problems.empty());
    }
    EXPECT_NE(::stat((dir / "escape.txt").c_str(), &st), 0);
}

TEST(FileSystemLimitsTest, ListsWhatEachFileSystemRefuses) {
    struct Case {
        const char* path;
        uint64_t size;
        size_t refusedBy;  // bits: 1 FAT, 2 exFAT, 4 NTFS
    };
    const Case cases[] = {
        {"/ok/name.txt", 10, 0}, {"/big.iso", 4ULL << 30, 1}, {"/almost.iso", (4ULL << 30) - 1, 0},
        {"/a:b.txt", 1, 3},      {"/q?.txt", 1, 3},           {"/dot.", 1, 3},
        {"/\xff.bin", 1, 7},     {"/Ok/other.txt", 1, 3},  // "/ok" and "/Ok" would be one folder
        {"/ÄB.txt", 1, 0},       {"/äb.TXT", 1, 3},
    };
    std::vector<DiscSetFile> files;
    for (const Case& c : cases) {
        DiscSetFile file;
        file.discPath = zel::DecodeFileName(c.path);
        file.size = c.size;
        files.push_back(file);
    }
    std::vector<const DiscSetFile*> pointers;
    for (const DiscSetFile& file : files)
        pointers.push_back(&file);
    const TargetFileSystem systems[] = {TargetFileSystem::Fat, TargetFileSystem::ExFat,
                                        TargetFileSystem::Ntfs};
    EXPECT_TRUE(FindUnfitFiles(TargetFileSystem::Other, pointers).empty());
    for (size_t s = 0; s < 3; ++s) {
        std::string expected, found;
        for (const Case& c : cases)
            if (c.refusedBy & (1u << s))
                expected += zel::Utf16ToUtf8(zel::ForDisplay(zel::DecodeFileName(c.path))) + "\n";
        for (const std::u16string& line : FindUnfitFiles(systems[s], pointers))
            found += zel::Utf16ToUtf8(line.substr(0, line.find(u": "))) + "\n";
        EXPECT_EQ(found, expected) << "file system " << s;
    }
}

// The file system is told from the mounted folder itself.
TEST(FileSystemLimitsTest, KnowsAVfatImageAsFat) {
    TempDir dir;
    const std::string image = dir / "fat.img", mountPoint = dir / "m";
    if (std::system(("mkfs.vfat -C -F 32 '" + image + "' 40000 >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "mkfs.vfat (dosfstools) is not installed";
    testing_support::MakeDir(mountPoint);
    if (std::system(("mount -o loop '" + image + "' '" + mountPoint + "' 2>/dev/null").c_str()) !=
        0)
        GTEST_SKIP() << "mounting the vfat image through a loop device was refused (no loop "
                        "devices or no vfat in this kernel)";
    const TargetFileSystem found = TargetFileSystemOf(mountPoint);
    std::system(("umount '" + mountPoint + "'").c_str());
    EXPECT_EQ(found, TargetFileSystem::Fat);
    EXPECT_EQ(TargetFileSystemOf(dir.Path()), TargetFileSystem::Other);
}

}  // namespace
