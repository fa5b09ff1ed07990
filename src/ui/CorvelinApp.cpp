#include "ui/CorvelinApp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

#include "intake/DropPath.h"
#include "settings/CorvelinSys.h"
#include "support/TextCodec.h"
#include "ui/CorvelinView.h"
#include "ui/FrameIcons.h"
#include "ui/MainFrame.h"
#include "ui/MakeConfigDlg.h"
#include "ui/QuitSignals.h"

CCorvelinApp::CCorvelinApp(CorvelinSys& sys, zel::IFileSystem& fs)
    : sys_(sys), fs_(fs), session_(sys, settings_, fs) {}

CCorvelinApp::~CCorvelinApp() = default;

bool CCorvelinApp::InstallTranslations(UiLanguage language, const QStringList& folders) {
    static bool installed = false;
    if (installed) return true;
    QString name = QStringLiteral("qtbase_ja");
    QStringList places{QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    if (language == UiLanguage::English) {
        name = QStringLiteral("corvelin_en");
        const QString program = QCoreApplication::applicationDirPath();
        places = folders;
        places << program << program + QStringLiteral("/../share/corvelin");
    }
    auto* translator = new QTranslator(qApp);
    for (const QString& place : places) {
        if (translator->load(name, place)) {
            installed = QCoreApplication::installTranslator(translator);
            return installed;
        }
    }
    delete translator;
    return false;
}

bool CCorvelinApp::InitInstance(const std::vector<std::string>& paths) {
    InstallTranslations(CurrentUiLanguage());
    QApplication::setApplicationName(QStringLiteral("Corvelin"));
    QApplication::setApplicationVersion(QStringLiteral(CORVELIN_VERSION));
    QApplication::setWindowIcon(frame_icons::Get(frame_icons::Picture::Application));

    quitSignals_ = new CQuitSignals(this);
    connect(quitSignals_, &CQuitSignals::received, this, [this](int) {
        quitBySignal_ = true;
        // exit, not quit: it also ends the loops of open dialogs (the
        // first-start question runs before the main loop).
        QCoreApplication::exit(0);
    });

    SettleProfileLocation();
    if (quitBySignal_) return false;  // ended while the first-start question was open
    session_.Load();
    doc_.OnNewDocument();

    frame_ = std::make_unique<CMainFrame>(doc_, settings_, sys_);
    // Through the session, so that a presets file that did not load is kept aside.
    frame_->View()->SetPresetSaver([this](std::string& message) {
        std::u16string text;
        if (session_.SavePresets(text)) return true;
        message = zel::Utf16ToUtf8(text);
        return false;
    });
    frame_->show();
    // Once, over the window: what the profile or the presets file held that
    // this start could not take.
    if (!session_.StartNotices().empty()) {
        QTimer::singleShot(0, this, [this] {
            for (const std::u16string& notice : session_.StartNotices()) {
                QMessageBox::warning(frame_.get(), QStringLiteral("Corvelin"),
                                     QString::fromStdU16String(notice));
            }
        });
    }
    if (!paths.empty()) {
        QTimer::singleShot(0, this, [this, paths] { DropCommandLinePaths(paths); });
    }
    return true;
}

void CCorvelinApp::SettleProfileLocation() {
    if (session_.FindProfile()) return;
    for (;;) {
        CMakeConfigDlg dialog(sys_);
        dialog.exec();
        if (quitBySignal_) {
            session_.RunWithoutProfile();  // asked again at the next start
            return;
        }
        std::u16string message;
        if (session_.ChooseLocation(dialog.GetChoice(), message)) return;
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Corvelin"),
                        QString::fromStdU16String(message) +
                            tr("\n「無視」を選ぶと、設定を保存しないまま起動します。"),
                        QMessageBox::Retry | QMessageBox::Ignore);
        box.setDefaultButton(QMessageBox::Retry);
        box.setEscapeButton(QMessageBox::Retry);
        if (box.exec() == QMessageBox::Ignore) {
            session_.RunWithoutProfile();
            return;
        }
    }
}

void CCorvelinApp::DropCommandLinePaths(const std::vector<std::string>& paths) {
    const std::string cwd = fs_.WorkingFolder();
    std::vector<std::string> absolute;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        if (path[0] != '/' && cwd.empty()) {
            std::fprintf(
                stderr, "corvelin: %s: %s\n", path.c_str(),
                tr("作業フォルダが分からないため追加できません").toLocal8Bit().constData());
            continue;
        }
        absolute.push_back(AbsoluteDropPath(path, cwd));
    }
    if (!absolute.empty() && frame_) frame_->View()->DropPaths(absolute, false);
}

bool CCorvelinApp::ExitInstance() {
    if (exited_) return true;
    exited_ = true;
    std::u16string message;
    if (session_.Save(message)) return true;
    const QString text = QString::fromStdU16String(message);
    std::fprintf(stderr, "corvelin: %s\n", text.toUtf8().constData());
    // A session that is ending cannot wait for an answer.
    if (!quitBySignal_) {
        QMessageBox::warning(nullptr, QStringLiteral("Corvelin"), text);
    }
    return false;
}
