#include "disc/ReservedRoom.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestSupport.h"
#include "disc/DiscSetBuilder.h"
#include "disc/DiscSetWriter.h"
#include "model/PackItem.h"
#include "packing/PackImageSizes.h"
#include "support/PosixFileSystem.h"

using testing_support::TempDir;

namespace {

class SilentHost : public IDiscWriterHost {
public:
    void Progress(const DiscProgress&) override {}
    MediumAnswer AskForMedium(uint32_t, uint32_t, const std::u16string&) override {
        return MediumAnswer::Stop;
    }
};

// Packs planned with the room writing adds are no smaller than the images
// written from them, with and without xorriso's MD5 records.
TEST(ReservedRoom, WrittenImagesStayWithinThePlannedRoom) {
    TempDir dir;
    const std::string folder = dir / "a folder with a long name for long index lines";
    ::mkdir(folder.c_str(), 0755);
    CPackFolder root(0, u"", 0);
    auto top = CPackFolder::Create(1, testing_support::U(folder), 0);
    root.AppendChild(top);
    std::vector<PackBin> packs(2);
    for (uint32_t i = 0; i < 600; ++i) {
        const std::string path =
            folder + "/ファイル\\" + std::to_string(i) + std::string(i % 90, 'n');
        testing_support::WriteFile(path, std::string(i * 7, 'c'));
        auto file = CPackItem::Create(i + 2, testing_support::U(path), i * 7);
        top->AppendChild(file);
        packs[i % 3 == 0 ? 1 : 0].items.push_back(file.get());
    }
    const std::vector<uint64_t> images = EstimatePackImages(root, packs, false);
    for (bool md5 : {false, true}) {
        const std::vector<uint64_t> room = PlannedReservedRoom(root, packs, md5);
        DiscSetHeader header;
        header.name = u"room";
        DiscSet set = BuildDiscSet(root, packs, header);
        DiscWriteOptions options;
        options.folder = dir / (md5 ? "md5" : "plain");
        options.md5 = md5;
        options.verify = false;
        ::mkdir(options.folder.c_str(), 0755);
        zel::PosixFileSystem fs;
        SilentHost host;
        std::atomic<bool> cancel{false};
        CDiscSetWriter writer(set, dir / "set.cvset", fs);
        ASSERT_EQ(writer.Run(options, host, cancel), CDiscSetWriter::Outcome::Done);
        for (uint32_t pack = 1; pack <= 2; ++pack) {
            struct stat st;
            ASSERT_EQ(::stat((options.folder + "/" + writer.ImageName(pack)).c_str(), &st), 0);
            const uint64_t written = static_cast<uint64_t>(st.st_size);
            EXPECT_LE(written, images[pack - 1] + room[pack - 1]) << md5 << " " << pack;
            // Room to spare, but not a block per file.
            EXPECT_GT(written + 512 * 1024, images[pack - 1] + room[pack - 1]) << md5;
        }
    }
}

}  // namespace
