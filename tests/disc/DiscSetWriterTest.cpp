#include "disc/DiscSetWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <set>

#include "TestSupport.h"
#include "disc/DiscSetBuilder.h"
#include "disc/DiscVerifier.h"
#include "disc/ImageLayout.h"
#include "disc/SetFileStore.h"
#include "disc/SetIndexFormat.h"
#include "support/PosixFileSystem.h"
#include "support/TextCodec.h"

using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// Names the graft lists, the checksum list and xorriso's listing each escape
// in their own way.
const char* const kNames[] = {"a=b.txt",      "back\\slash.txt", "with space.txt", "日本語.txt",
                              "\xff\xfe.bin", "line\nbreak.txt", "empty"};

class Host : public IDiscWriterHost {
public:
    void Progress(const DiscProgress& progress) override {
        phases.insert(progress.phase);
        if (cancelAt && progress.pack == cancelAt->first && progress.phase == cancelAt->second)
            cancel->store(true);
    }
    MediumAnswer AskForMedium(uint32_t pack, uint32_t, const std::u16string& problem) override {
        asked.push_back({pack, zel::Utf16ToUtf8(problem)});
        if (answers.empty()) return MediumAnswer::Stop;
        auto answer = answers.front();
        answers.pop_front();
        if (beforeAnswer) beforeAnswer();
        return answer;
    }

    std::set<DiscPhase> phases;
    std::optional<std::pair<uint32_t, DiscPhase>> cancelAt;
    std::atomic<bool>* cancel = nullptr;
    std::deque<MediumAnswer> answers;
    std::function<void()> beforeAnswer;
    std::vector<std::pair<uint32_t, std::string>> asked;
};

class DiscSetWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::mkdir((dir / "src").c_str(), 0755);
        ::mkdir((dir / "images").c_str(), 0755);
        set.id = "00112233445566778899aabbccddeeff";
        set.name = u"テスト";
        set.target = u"image";
        set.capacity = 700ULL << 20;
        // Three packs; pack 1 holds every awkward name in a folder, 2 and 3 a
        // file each, of several blocks so that a byte can change inside.
        for (uint32_t number = 1; number <= 3; ++number)
            set.packs.push_back({number, zel::U16("PACK_0" + std::to_string(number)),
                                 DiscPackState::Planned, 0, 0, u""});
        for (const char* name : kNames)
            AddFile(1, std::string("/名前/") + name, std::string(name) + " contents");
        AddFile(2, "/two.bin", std::string(10000, 'x'));
        AddFile(3, "/three.bin", std::string(5000, 'y'));
        options.folder = dir / "images";
        setFile = dir / "sets/x.cvset";
        host.cancel = &cancel;
    }

    void AddFile(uint32_t pack, const std::string& discPath, const std::string& contents) {
        const std::string disk = dir / "src" + discPath.substr(discPath.rfind('/'));
        WriteFile(disk, discPath == "/名前/empty" ? "" : contents);
        DiscSetFile file;
        file.pack = pack;
        file.discPath = zel::DecodeFileName(discPath);
        file.diskPath = zel::DecodeFileName(disk);
        StatSource(disk, file.size, file.mtimeNs);
        set.files.push_back(file);
    }

    CDiscSetWriter::Outcome Run() {
        CDiscSetWriter writer(set, setFile, fs);
        auto outcome = writer.Run(options, host, cancel);
        message = zel::Utf16ToUtf8(writer.Message());
        return outcome;
    }

    std::string Image(uint32_t pack) {
        return options.folder + "/pack0" + std::to_string(pack) + ".iso";
    }

    std::vector<DiscPackState> States() {
        std::vector<DiscPackState> states;
        for (const DiscSetPack& pack : set.packs)
            states.push_back(pack.state);
        return states;
    }

    DiscSet SavedSet() {
        DiscSet saved;
        std::u16string error;
        EXPECT_TRUE(LoadSetFile(fs, setFile, saved, error)) << zel::Utf16ToUtf8(error);
        return saved;
    }

    TempDir dir;
    zel::PosixFileSystem fs;
    DiscSet set;
    DiscWriteOptions options;
    std::string setFile;
    Host host;
    std::atomic<bool> cancel{false};
    std::string message;
};

using S = DiscPackState;

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

TEST_F(DiscSetWriterTest, WritesEveryPackWithItsChecksumsAndIndex) {
    ASSERT_EQ(Run(), CDiscSetWriter::Outcome::Done) << message;
    EXPECT_EQ(States(), (std::vector<S>{S::Verified, S::Verified, S::Verified}));
    EXPECT_EQ(WriteSetIndex(SavedSet(), true), WriteSetIndex(set, true));
    // Checking, writing (the image hashed meanwhile), verifying.
    EXPECT_EQ(host.phases.size(), 3u);

    // xorriso lists exactly the pack's rows and the reserved files, byte for byte.
    for (uint32_t pack = 1; pack <= 3; ++pack) {
        ImageLayout layout;
        std::string error;
        ASSERT_TRUE(layout.Load(Image(pack), error)) << error;
        std::set<std::string> listed, planned = {kChecksumFile, kIndexFile};
        for (const auto& [path, file] : layout.Files())
            listed.insert(path);
        for (const DiscSetFile& file : set.files)
            if (file.pack == pack) planned.insert(zel::EncodeFileName(file.discPath).substr(1));
        EXPECT_EQ(listed, planned) << pack;
    }
    const std::string volid = "xorriso -no_rc -indev stdio:" + Image(2) +
                              " -pvd_info 2>/dev/null | grep -q \"^Volume Id *: PACK_02\"";
    EXPECT_EQ(Shell(volid), 0);

    // An extracted disc checks with coreutils alone, and its index is the set's.
    const std::string out = dir / "out";
    ASSERT_EQ(Shell("xorriso -no_rc -osirrox on -indev stdio:" + Image(1) + " -extract / " + out +
                    " >/dev/null 2>&1"),
              0);
    EXPECT_EQ(Shell("cd " + out + " && sha256sum --quiet -c _CORVELIN/SHA256SUMS"), 0);
    std::ifstream indexFile(out + "/" + kIndexFile, std::ios::binary);
    const std::string indexText((std::istreambuf_iterator<char>(indexFile)), {});
    DiscSet onDisc;
    std::u16string error;
    ASSERT_TRUE(ReadSetIndex(indexText, onDisc, error));
    EXPECT_EQ(onDisc.files[0].sha256, set.files[0].sha256);
    EXPECT_EQ(onDisc.files.size(), set.files.size());
    EXPECT_EQ(VerifyMedium(out, nullptr, {}).outcome, VerifyResult::Outcome::Ok);
}

TEST_F(DiscSetWriterTest, VerifyNamesTheFileWhoseByteChanged) {
    options.packs = {1};
    ASSERT_EQ(Run(), CDiscSetWriter::Outcome::Done) << message;
    EXPECT_EQ(States(), (std::vector<S>{S::Verified, S::Planned, S::Planned}));
    ImageLayout layout;
    std::string error;
    ASSERT_TRUE(layout.Load(Image(1), error));
    const std::string victim = "名前/line\nbreak.txt";
    ASSERT_NE(layout.Find(victim), nullptr);
    {
        std::fstream image(Image(1), std::ios::in | std::ios::out | std::ios::binary);
        image.seekp(static_cast<std::streamoff>(layout.Find(victim)->extents[0].block * 2048 + 3));
        image.put('#');
    }
    // From the page cache, and again past it once the image has left the cache.
    for (const bool cached : {true, false}) {
        if (!cached) {
            const int fd = ::open(Image(1).c_str(), O_RDONLY);
            ASSERT_GE(fd, 0);
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
        const VerifyResult result = VerifyMedium(Image(1), nullptr, {});
        EXPECT_EQ(result.outcome, VerifyResult::Outcome::Differs) << cached;
        EXPECT_EQ(result.changed, std::vector<std::string>{victim});
        EXPECT_TRUE(result.missing.empty() && result.unreadable.empty());
    }
}

TEST_F(DiscSetWriterTest, ACancelFailsOnlyThatPackAndAResumeWritesTheRest) {
    for (DiscPhase phase : {DiscPhase::Hashing, DiscPhase::Writing}) {
        for (DiscSetPack& pack : set.packs)
            pack.state = S::Planned;
        for (uint32_t pack = 1; pack <= 3; ++pack)
            ::unlink(Image(pack).c_str());
        cancel = false;
        // An image with xorriso's MD5 records is hashed before it is written.
        options.md5 = phase == DiscPhase::Hashing;
        host.cancelAt = {2, phase};
        EXPECT_EQ(Run(), CDiscSetWriter::Outcome::Cancelled);
        EXPECT_EQ(States(), (std::vector<S>{S::Verified, S::Failed, S::Planned}));
        EXPECT_FALSE(std::ifstream(Image(2)).good());
        EXPECT_FALSE(std::ifstream(Image(2) + ".part").good());
        struct stat first;
        ASSERT_EQ(::stat(Image(1).c_str(), &first), 0);

        // Another run, from the set file as a later start of the program reads it.
        set = SavedSet();
        EXPECT_EQ(States(), (std::vector<S>{S::Verified, S::Failed, S::Planned}));
        cancel = false;
        host.cancelAt.reset();
        ASSERT_EQ(Run(), CDiscSetWriter::Outcome::Done) << message;
        EXPECT_EQ(States(), (std::vector<S>{S::Verified, S::Verified, S::Verified}));
        struct stat again;
        ASSERT_EQ(::stat(Image(1).c_str(), &again), 0);
        EXPECT_EQ(again.st_ino, first.st_ino);
        EXPECT_EQ(again.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
    }
}

TEST_F(DiscSetWriterTest, AChangedOrMissingSourceStopsItsPackBeforeWriting) {
    WriteFile(zel::EncodeFileName(set.files[7].diskPath), "changed");  // two.bin
    ::unlink(zel::EncodeFileName(set.files[0].diskPath).c_str());      // a=b.txt
    EXPECT_EQ(Run(), CDiscSetWriter::Outcome::SomeFailed);
    EXPECT_EQ(States(), (std::vector<S>{S::Failed, S::Failed, S::Verified}));
    const DiscSet saved = SavedSet();
    EXPECT_NE(zel::Utf16ToUtf8(saved.packs[0].reason).find("a=b.txt"), std::string::npos);
    EXPECT_NE(zel::Utf16ToUtf8(saved.packs[1].reason).find("two.bin"), std::string::npos);
    EXPECT_FALSE(std::ifstream(Image(1)).good());
    EXPECT_FALSE(std::ifstream(Image(2)).good());
    EXPECT_NE(message.find("パック 2"), std::string::npos);
}

TEST_F(DiscSetWriterTest, APackLargerThanTheMediumIsNotWritten) {
    set.capacity = 300 * 1024;  // the padding of an image alone takes that much
    EXPECT_EQ(Run(), CDiscSetWriter::Outcome::SomeFailed);
    EXPECT_EQ(States(), (std::vector<S>{S::Failed, S::Failed, S::Failed}));
    EXPECT_NE(zel::Utf16ToUtf8(set.packs[0].reason).find("収まりません"), std::string::npos);
}

TEST_F(DiscSetWriterTest, ADriveWaitsForABlankMediumAndStopsWhenItRunsOutOfRoom) {
    // A file that acts as a drive, holding a written disc at first.
    const std::string drive = dir / "drive.img";
    options.packs = {2};
    ASSERT_EQ(Run(), CDiscSetWriter::Outcome::Done);
    ASSERT_EQ(::rename(Image(2).c_str(), drive.c_str()), 0);
    set.packs[1].state = S::Planned;

    options = DiscWriteOptions{};
    options.toDrive = true;
    options.device = "stdio:" + drive;
    options.packs = {1, 3};
    host.answers = {MediumAnswer::Go, MediumAnswer::Go, MediumAnswer::Skip};
    // The second answer comes with a blank medium in the drive.
    host.beforeAnswer = [&] {
        if (host.asked.size() == 2) WriteFile(drive, "");
    };
    EXPECT_EQ(Run(), CDiscSetWriter::Outcome::Stopped);  // pack 3 was skipped
    EXPECT_NE(message.find("飛ばした"), std::string::npos) << message;
    ASSERT_EQ(host.asked.size(), 3u);
    EXPECT_EQ(host.asked[0], (std::pair<uint32_t, std::string>{1, ""}));
    EXPECT_NE(host.asked[1].second.find("空ではありません"), std::string::npos);
    EXPECT_EQ(host.asked[2].first, 3u);
    EXPECT_EQ(States(), (std::vector<S>{S::Verified, S::Planned, S::Planned}));

    // A drive whose medium takes no more bytes.
    options.device = "stdio:/dev/full";
    options.packs = {2};
    host.asked.clear();
    host.answers = {MediumAnswer::Go};
    EXPECT_EQ(Run(), CDiscSetWriter::Outcome::SomeFailed);
    EXPECT_EQ(host.asked.size(), 1u);
    EXPECT_EQ(set.packs[1].state, S::Failed);
    EXPECT_NE(zel::Utf16ToUtf8(set.packs[1].reason).find("No space"), std::string::npos);
}

}  // namespace
