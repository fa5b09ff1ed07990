#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "TestSupport.h"
#include "settings/FakeSys.h"
#include "settings/ProfileSession.h"
#include "support/FaultyFileSystem.h"

using namespace testing_support;

class ProfileSession : public ::testing::Test {
protected:
    TempDir dir;
    FaultyFileSystem fs;
    FakeSys sys{dir / "bin", dir / "config", "erin", fs};
    SettingsStore settings;
    CProfileSession session{sys, settings, fs};
    void SetUp() override { MakeDir(dir / "bin"); }
};

// A location that cannot be made: the start-up tests.
TEST_F(ProfileSession, FirstStartRetriesAnUnwritableLocationThenWritesTheChosenOne) {
    ASSERT_FALSE(session.FindProfile());

    std::u16string message;
    fs.openError = EACCES;  // the program folder exists but refuses new files
    EXPECT_FALSE(session.ChooseLocation(2, message));
    EXPECT_NE(message.find(u"書き込めません"), std::u16string::npos);
    EXPECT_EQ(session.ProfilePath(), "");

    fs.openError = 0;
    ASSERT_TRUE(session.ChooseLocation(1, message));
    EXPECT_EQ(session.ProfilePath(), dir / "bin/erin/Corvelin.ini");
    session.Load();
    ASSERT_EQ(sys.presets.size(), 1u);  // the built-in preset
    settings.general.fontSize = -20;
    fs.renameError = ENOSPC;  // a refused write is reported
    EXPECT_FALSE(session.Save(message));
    EXPECT_NE(message.find(u"保存できませんでした"), std::u16string::npos);
    fs.renameError = 0;
    ASSERT_TRUE(session.Save(message));
    EXPECT_NE(ReadFile(dir / "bin/erin/Corvelin.ini").find("FONT_SIZE=-20"), std::string::npos);

    // The next start finds it and reads the settings back.
    SettingsStore again;
    CProfileSession next(sys, again, fs);
    ASSERT_TRUE(next.FindProfile());
    next.Load();
    EXPECT_EQ(again.general.fontSize, -20);
}

TEST_F(ProfileSession, AnUnreadableProfileIsKeptAsBackupNotOverwritten) {
    WriteFile(dir / "bin/Corvelin.ini", "[General]\nFONT_SIZE=30\n");
    ASSERT_TRUE(session.FindProfile());
    fs.readError = EIO;
    session.Load();
    EXPECT_EQ(settings.general.fontSize, 12);

    std::u16string message;
    ASSERT_TRUE(session.Save(message));
    EXPECT_EQ(ReadFile(dir / "bin/Corvelin.ini.bak"), "[General]\nFONT_SIZE=30\n");
    EXPECT_NE(ReadFile(dir / "bin/Corvelin.ini").find("FONT_SIZE=12"), std::string::npos);
}

TEST_F(ProfileSession, WithoutAFolderNothingIsReadOrWritten) {
    FakeSys none("", "", "", fs);
    CProfileSession bare(none, settings, fs);
    std::u16string message;
    EXPECT_FALSE(bare.ChooseLocation(2, message));
    bare.RunWithoutProfile();
    bare.Load();
    EXPECT_TRUE(bare.Save(message));
    EXPECT_EQ(fs.writeCalls, 0);
    EXPECT_FALSE(bare.SavePresets(message));
    EXPECT_FALSE(message.empty());
}
