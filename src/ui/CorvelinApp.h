#pragma once

#include <QObject>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "packing/CorvelinDoc.h"
#include "settings/ProfileSession.h"
#include "settings/SettingsStore.h"
#include "support/UiLanguage.h"

class CMainFrame;
class CorvelinSys;
class CQuitSignals;

// The program's start and end: the texts in the user's language, the profile's place
// (asking on the first start until a usable one is chosen), settings and
// presets, the main window, the paths given on the command line; at the end
// the profile rewritten, also after SIGTERM, SIGHUP or SIGINT.
class CCorvelinApp : public QObject {
    Q_OBJECT
public:
    explicit CCorvelinApp(CorvelinSys& sys, zel::IFileSystem& fs = zel::IFileSystem::Default());
    ~CCorvelinApp() override;

    // Installs the translations of the language: for Japanese, Qt's own, so
    // that framework buttons read はい, キャンセル and so on (the program's texts
    // are Japanese already); for English, the program's corvelin_en.qm, looked
    // for in `folders`, beside the program and in ../share/corvelin/. False
    // when a translation is not found.
    static bool InstallTranslations(UiLanguage language, const QStringList& folders = {});

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
