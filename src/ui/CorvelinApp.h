#pragma once

#include <QObject>

#include <memory>
#include <string>
#include <vector>

#include "packing/CorvelinDoc.h"
#include "settings/ProfileSession.h"
#include "settings/SettingsStore.h"

class CMainFrame;
class CorvelinSys;
class CQuitSignals;

// The program's start and end: Japanese framework texts, the profile's place
// (asking on the first start until a usable one is chosen), settings and
// presets, the main window, the paths given on the command line; at the end
// the profile rewritten, also after SIGTERM, SIGHUP or SIGINT.
class CCorvelinApp : public QObject {
    Q_OBJECT
public:
    explicit CCorvelinApp(CorvelinSys& sys, zel::IFileSystem& fs = zel::IFileSystem::Default());
    ~CCorvelinApp() override;

    // Loads Qt's Japanese translation so that framework buttons read はい,
    // キャンセル and so on; false when it is not installed.
    static bool InstallJapaneseTranslation();

    // paths: the command line's arguments, raw bytes, dropped once the window
    // shows. False when the program cannot start.
    bool InitInstance(const std::vector<std::string>& paths);
    // Rewrites the profile (once); false when it could not be written, which
    // has then been reported.
    bool ExitInstance();

    CMainFrame* MainFrame() const { return frame_.get(); }
    CCorvelinDoc& Document() { return doc_; }
    SettingsStore& Settings() { return settings_; }
    CProfileSession& Session() { return session_; }

private:
    void SettleProfileLocation();
    void DropCommandLinePaths(const std::vector<std::string>& paths);

    CorvelinSys& sys_;
    zel::IFileSystem& fs_;
    SettingsStore settings_;
    CProfileSession session_;
    CCorvelinDoc doc_;
    std::unique_ptr<CMainFrame> frame_;
    CQuitSignals* quitSignals_ = nullptr;
    bool quitBySignal_ = false;
    bool exited_ = false;
};
