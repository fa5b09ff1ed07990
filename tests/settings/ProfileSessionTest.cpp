#include <gtest/gtest.h>
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

// Sections past the 100 pack sizes kept: told once, and the original kept
// before the rewrite that drops them; the next start has nothing to tell.
TEST_F(ProfileSession, PackSizesPastTheLimitAreToldOnceAndKeptInTheBackup) {
    const std::string original =
        "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 1]\nName=kept\nSize=1M\n"
        "[PackInfo 101]\nName=beyond\nSize=2M\n[PackInfo 102]\nSize=3M\n";
    WriteFile(dir / "bin/Corvelin.ini", original);
    for (int start = 0; start < 2; ++start) {
        SettingsStore store;
        CProfileSession next(sys, store, fs);
        ASSERT_TRUE(next.FindProfile());
        next.Load();
        ASSERT_EQ(store.packInfoList.size(), 1u);
        ASSERT_EQ(next.StartNotices().size(), start == 0 ? 1u : 0u);
        if (start == 0) {
            EXPECT_NE(next.StartNotices()[0].find(u"1 件"), std::u16string::npos);
        }
        std::u16string message;
        ASSERT_TRUE(next.Save(message));
        EXPECT_EQ(ReadFile(dir / "bin/Corvelin.ini.bak"), original);
        EXPECT_EQ(ReadFile(dir / "bin/Corvelin.ini").find("beyond"), std::string::npos);
    }
}

namespace {

// One window's session in a process of its own, driven over pipes, one line a
// command and one line of answer: "filter" turns FILTER_ALWAYS on, "pack N"
// registers a pack size, "save N" and "delete N" go through the presets
// dialog's editor, "exit" writes the profile as the program's exit does.
class WindowProcess {
public:
    explicit WindowProcess(const std::string& programFolder) {
        int toChild[2], fromChild[2];
        if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) std::abort();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(toChild[1]);
            ::close(fromChild[0]);
            Serve(programFolder, toChild[0], fromChild[1]);
            ::_exit(0);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        in_ = toChild[1];
        out_ = fromChild[0];
        started_ = Answer();
    }
    ~WindowProcess() {
        ::close(in_);
        ::close(out_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }

    std::string Do(const std::string& command) {
        const std::string line = command + "\n";
        if (::write(in_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return "unsent";
        return Answer();
    }
    const std::string& Started() const { return started_; }

private:
    static std::string ReadLine(int fd) {
        std::string line;
        char c;
        while (::read(fd, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    std::string Answer() { return ReadLine(out_); }

    static void Serve(const std::string& programFolder, int in, int out) {
        FakeSys sys(programFolder, "", "");
        SettingsStore settings;
        CProfileSession session(sys, settings);
        std::string answer = session.FindProfile() ? "started" : "no profile";
        session.Load();
        CImportSettingsEditor editor(sys.presets, nullptr, [&](std::string& message) {
            std::u16string text;
            const bool saved = session.SavePresets(text);
            message = zel::Utf16ToUtf8(text);
            return saved;
        });
        for (;;) {
            answer += "\n";
            if (::write(out, answer.data(), answer.size()) < 0) return;
            const std::string command = ReadLine(in);
            const std::string arg = command.substr(command.find(' ') + 1);
            const std::u16string name = zel::Utf8ToUtf16(arg);
            if (command == "filter") {
                settings.general.filterAlways = 1;
                answer = "ok";
            } else if (command.rfind("pack ", 0) == 0) {
                settings.packInfoList.push_back({name, u"1M"});
                answer = "ok";
            } else if (command.rfind("save ", 0) == 0) {
                const auto outcome = editor.SavePreset(name, false);
                answer = outcome.nameTaken ? "taken" : outcome.failed ? "failed" : "saved";
            } else if (command.rfind("delete ", 0) == 0) {
                size_t index = 0;
                while (index < sys.presets.size() && sys.presets[index]->name != name)
                    ++index;
                answer = index == sys.presets.size()         ? "not shown"
                         : editor.DeletePreset(index).failed ? "failed"
                                                             : "deleted";
            } else {
                std::u16string message;
                answer = session.Save(message) ? "exited" : "failed";
                answer += "\n";
                (void)!::write(out, answer.data(), answer.size());
                return;
            }
        }
    }

    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string started_;
};

std::string PresetNames(const std::string& folder) {
    ImportSettingsList list;
    LoadImportSettings(zel::IFileSystem::Default(), folder, list);
    std::string names;
    for (const auto& preset : list)
        names += (names.empty() ? "" : ",") + zel::Utf16ToUtf8(preset->name);
    return names;
}

}  // namespace

// Two windows on one profile, each started before the other quit: neither
// undoes what the other set, in whichever order they save and exit.
TEST_F(ProfileSession, TwoWindowsKeepEachOthersSettingsAndPresets) {
    const std::string profile = dir / "bin/Corvelin.ini";
    WriteFile(profile, "[General]\nFILTER_ALWAYS=0\nLINE_HEIGHT=4\n");
    for (const bool changedOneExitsFirst : {true, false}) {
        WriteFile(profile, "[General]\nFILTER_ALWAYS=0\nLINE_HEIGHT=4\n");
        WindowProcess a(dir / "bin"), b(dir / "bin");
        ASSERT_EQ(a.Started(), "started");
        ASSERT_EQ(b.Started(), "started");
        EXPECT_EQ(a.Do("filter"), "ok");
        EXPECT_EQ(a.Do("pack fromA"), "ok");
        if (changedOneExitsFirst) {
            EXPECT_EQ(a.Do("exit"), "exited");
            EXPECT_EQ(b.Do("exit"), "exited");
        } else {
            EXPECT_EQ(b.Do("exit"), "exited");
            EXPECT_EQ(a.Do("exit"), "exited");
        }
        const std::string text = ReadFile(profile);
        EXPECT_NE(text.find("FILTER_ALWAYS=1"), std::string::npos) << text;
        EXPECT_NE(text.find("LINE_HEIGHT=4"), std::string::npos) << text;
        EXPECT_NE(text.find("Name=fromA"), std::string::npos) << text;
    }

    // The pack-size list goes as one unit: the last window that changed it wins.
    {
        WindowProcess a(dir / "bin"), b(dir / "bin");
        EXPECT_EQ(a.Do("pack second"), "ok");
        EXPECT_EQ(b.Do("pack third"), "ok");
        EXPECT_EQ(a.Do("exit"), "exited");
        EXPECT_EQ(b.Do("exit"), "exited");
        const std::string text = ReadFile(profile);
        EXPECT_EQ(text.find("Name=second"), std::string::npos) << text;
        EXPECT_NE(text.find("Name=third"), std::string::npos) << text;
    }

    WindowProcess a(dir / "bin"), b(dir / "bin");
    EXPECT_EQ(a.Do("save fromA"), "saved");
    EXPECT_EQ(b.Do("save fromB"), "saved");
    EXPECT_EQ(PresetNames(dir / "bin"), "all files,fromA,fromB");
    EXPECT_EQ(b.Do("save FROMA"), "taken");
    EXPECT_EQ(a.Do("delete fromB"), "not shown");  // A's list was read before B saved it
    EXPECT_EQ(a.Do("save other"), "saved");        // and is refreshed by every save
    EXPECT_EQ(a.Do("delete fromB"), "deleted");
    EXPECT_EQ(b.Do("delete fromB"), "deleted");
    EXPECT_EQ(a.Do("exit"), "exited");
    EXPECT_EQ(b.Do("exit"), "exited");
    EXPECT_EQ(PresetNames(dir / "bin"), "all files,fromA,other");
}
