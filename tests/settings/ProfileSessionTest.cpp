#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "intake/ImportSettingsEditor.h"
#include "settings/FakeSys.h"
#include "settings/ProfileSession.h"
#include "support/FaultyFileSystem.h"
#include "support/TextCodec.h"
#include "support/Unprivileged.h"

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

namespace {

// One window's session in a process of its own, driven a line at a time:
// "filter" sets FILTER_ALWAYS, "pack N" adds a pack size, "save N", "delete N"
// and "list" use the presets dialog's editor, "exit" is the program's exit.
class WindowProcess {
public:
    explicit WindowProcess(const std::string& programFolder) {
        int down[2], up[2];
        if (::pipe(down) != 0 || ::pipe(up) != 0 || (pid_ = ::fork()) < 0) std::abort();
        if (pid_ == 0) {
            ::close(down[1]);
            ::close(up[0]);
            Serve(programFolder, down[0], up[1]);
            ::_exit(0);
        }
        ::close(down[0]);
        ::close(up[1]);
        in_ = down[1];
        out_ = up[0];
        EXPECT_EQ(ReadLine(out_), "started");
    }
    ~WindowProcess() {
        ::close(in_);
        ::close(out_);
        ::waitpid(pid_, nullptr, 0);
    }
    std::string Do(const std::string& command) {
        WriteLine(in_, command);
        return ReadLine(out_);
    }

private:
    // "exit" when the other end is gone.
    static std::string ReadLine(int fd) {
        std::string line;
        char c;
        for (ssize_t n; (n = ::read(fd, &c, 1)) != 1 || c != '\n';) {
            if (n != 1) return "exit";
            line += c;
        }
        return line;
    }
    static void WriteLine(int fd, const std::string& line) {
        (void)!::write(fd, (line + "\n").data(), line.size() + 1);
    }

    static void Serve(const std::string& programFolder, int in, int out) {
        FakeSys sys(programFolder, "", "");
        SettingsStore settings;
        CProfileSession session(sys, settings);
        WriteLine(out, session.FindProfile() ? "started" : "no profile");
        session.Load();
        CImportSettingsEditor editor(sys.presets, nullptr, [&](std::string& message) {
            std::u16string text;
            const bool saved = session.SavePresets(text);
            message = zel::Utf16ToUtf8(text);
            return saved;
        });
        for (std::string command; (command = ReadLine(in)) != "exit";) {
            const std::u16string name = zel::Utf8ToUtf16(command.substr(command.find(' ') + 1));
            size_t shown = 0;
            while (shown < sys.presets.size() && sys.presets[shown]->name != name)
                ++shown;
            CImportSettingsEditor::Outcome outcome;
            if (command == "filter") {
                settings.general.filterAlways = 1;
            } else if (command.rfind("pack ", 0) == 0) {
                settings.packInfoList.push_back({name, u"1M"});
            } else if (command.rfind("save ", 0) == 0) {
                outcome = editor.SavePreset(name, false);
            } else if (command == "list") {
                for (const auto& preset : sys.presets)
                    outcome.text += preset->name + u",";
            } else {
                outcome = editor.DeletePreset(shown);  // nothing when not shown
            }
            WriteLine(out, outcome.nameTaken ? "taken" : zel::Utf16ToUtf8(outcome.text));
        }
        std::u16string message;
        WriteLine(out, session.Save(message) ? "exited" : "failed");
    }

    pid_t pid_ = -1, in_ = -1, out_ = -1;
};

}  // namespace

// Two windows on one profile, each started before the other quit: neither
// undoes what the other set, in whichever order they save and exit.
TEST_F(ProfileSession, TwoWindowsKeepEachOthersSettingsAndPresets) {
    const std::string profile = dir / "bin/Corvelin.ini";
    for (const bool changedOneExitsFirst : {true, false}) {
        WriteFile(profile, "[General]\nFILTER_ALWAYS=0\nLINE_HEIGHT=4\n");
        WindowProcess a(dir / "bin"), b(dir / "bin");
        a.Do("filter");
        a.Do("pack fromA");
        EXPECT_EQ((changedOneExitsFirst ? a : b).Do("exit"), "exited");
        EXPECT_EQ((changedOneExitsFirst ? b : a).Do("exit"), "exited");
        const std::string text = ReadFile(profile);
        for (const char* kept : {"FILTER_ALWAYS=1", "LINE_HEIGHT=4", "Name=fromA"})
            EXPECT_NE(text.find(kept), std::string::npos) << text;
    }
    WindowProcess a(dir / "bin"), b(dir / "bin");
    const std::string saved = "」を保存しました。", deleted = "」を削除しました。";
    EXPECT_EQ(a.Do("save fromA"), "プリセット「fromA" + saved);
    EXPECT_EQ(b.Do("save fromB"), "プリセット「fromB" + saved);
    EXPECT_EQ(b.Do("list"), "all files,fromA,fromB,");
    EXPECT_EQ(b.Do("save FROMA"), "taken");
    EXPECT_EQ(a.Do("delete fromB"), "");  // not shown: A's list was read before B saved it
    EXPECT_EQ(a.Do("save other"), "プリセット「other" + saved);  // and follows each save
    EXPECT_EQ(a.Do("delete fromB"), "プリセット「fromB" + deleted);
    EXPECT_EQ(b.Do("delete fromB"), "プリセット「fromB" + deleted);
    EXPECT_EQ(b.Do("list"), "all files,fromA,other,");
}

// A writable profile in a folder that takes no new files (no lock file) is written.
TEST_F(ProfileSession, AWritableProfileInAClosedFolderIsStillWritten) {
    WriteFile(dir / "bin/Corvelin.ini", "[General]\nLINE_HEIGHT=3\n");
    ASSERT_EQ(::chmod((dir / "bin/Corvelin.ini").c_str(), 0666) |
                  ::chmod(dir.Path().c_str(), 0755) | ::chmod((dir / "bin").c_str(), 0555),
              0);
    std::u16string message;
    const auto saved = RunUnprivileged([&] {
        session.FindProfile();
        session.Load();
        settings.general.lineHeight = 7;
        return session.Save(message);
    });
    ::chmod((dir / "bin").c_str(), 0755);
    if (!saved) GTEST_SKIP() << "cannot drop root";
    EXPECT_TRUE(*saved);
    EXPECT_NE(ReadFile(dir / "bin/Corvelin.ini").find("LINE_HEIGHT=7"), std::string::npos);
}
