#include "disc/DiscWriteForm.h"

#include <gtest/gtest.h>

#include "support/TextCodec.h"

namespace {

TEST(DiscWriteForm, StartNeedsANameAFolderForImagesAndAPack) {
    DiscWriteForm ok;
    ok.name = u"写真";
    ok.folder = u"/tmp/画像";
    ok.chosen = {false, true, true};
    ok.drives = {"/dev/sr0"};
    EXPECT_EQ(ok.Problem(), u"");
    const struct {
        void (*change)(DiscWriteForm&);
        const char* problem;
    } cases[] = {
        {[](DiscWriteForm& f) { f.name.clear(); }, "名前"},
        {[](DiscWriteForm& f) { f.folder.clear(); }, "フォルダー"},
        {[](DiscWriteForm& f) {
             f.chosen = {false, false, false};
         },
         "パック"},
        // A drive needs no folder.
        {[](DiscWriteForm& f) { f.folder.clear(), f.target = 1; }, nullptr},
    };
    for (const auto& c : cases) {
        DiscWriteForm form = ok;
        c.change(form);
        const std::string problem = zel::Utf16ToUtf8(form.Problem());
        if (!c.problem) {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.problem;
        }
    }

    DiscWriteOptions options = ok.Options();
    EXPECT_FALSE(options.toDrive);
    EXPECT_EQ(options.folder, "/tmp/画像");
    EXPECT_EQ(options.packs, (std::vector<uint32_t>{2, 3}));
    ok.target = 1;
    options = ok.Options();
    EXPECT_TRUE(options.toDrive);
    EXPECT_EQ(options.device, "/dev/sr0");
    // Folders come after the drives and are asked for pack by pack.
    ok.target = 2;
    ok.folder.clear();
    EXPECT_EQ(ok.Problem(), u"");
    options = ok.Options();
    EXPECT_TRUE(options.toFolders);
    EXPECT_FALSE(options.toDrive);
}

}  // namespace
