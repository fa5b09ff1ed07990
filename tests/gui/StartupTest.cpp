#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include <vector>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "settings/FakeSys.h"
#include "ui/CorvelinApp.h"
#include "ui/MakeConfigDlg.h"

using testing_support::FakeSys;
using testing_support::MakeDir;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

bool Exists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

// Answers the first-start question: a place (-1: Escape) and what it showed.
void Choose(ModalDriver& driver, int location, QString* preview = nullptr) {
    driver.ThenDialog<CMakeConfigDlg>([location, preview](CMakeConfigDlg* dialog) {
        if (location < 0) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        dialog->findChildren<QRadioButton*>().at(location)->click();
        if (preview) *preview = dialog->GetPreview();
        dialog->accept();
    });
}

// Whether the process has its own handler for the signal yet.
bool Catches(qint64 pid, int signalNumber) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
        }
    }
    return false;
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartMakesTheChosenPlaceOrAsksAgainAndWritesTheProfileThereAtExit() {
        const struct {
            std::vector<int> answers;               // the places chosen in turn; -1: Escape
            QMessageBox::StandardButton onFailure;  // NoButton: the first place can be made
            const char* folder;                     // where the profile lands; null: nowhere
        } table[] = {
            {{0}, QMessageBox::NoButton, "cfg/Tessoly/Corvelin"},
            {{1}, QMessageBox::NoButton, "bin/user"},
            {{2}, QMessageBox::NoButton, "bin"},
            {{-1}, QMessageBox::NoButton, "cfg/Tessoly/Corvelin"},
            // The configuration folder lies under a file.
            {{0, 2}, QMessageBox::Retry, "bin"},
            {{0}, QMessageBox::Ignore, nullptr},
        };
        for (const auto& row : table) {
            TempDir dir;
            MakeDir(dir / "bin");
            WriteFile(dir / "file", "");
            const bool fails = row.onFailure != QMessageBox::NoButton;
            FakeSys sys(dir / "bin", dir / (fails ? "file/cfg" : "cfg"), "user");
            CCorvelinApp app(sys);
            ModalDriver driver;
            QString preview, warning, retry;
            Choose(driver, row.answers[0], &preview);
            if (fails) {
                driver.Then([&](QWidget* w) {
                    auto* box = qobject_cast<QMessageBox*>(w);
                    warning = box->text();
                    retry = box->button(QMessageBox::Retry)->text();
                    box->button(row.onFailure)->click();
                });
            }
            if (row.answers.size() > 1) Choose(driver, row.answers[1], &preview);
            QVERIFY(app.InitInstance({}));
            QVERIFY(driver.AllAnswered());
            if (fails) {
                QVERIFY2(warning.contains(QStringLiteral("作成できませんでした")),
                         qPrintable(warning));
                QVERIFY2(retry.contains(QStringLiteral("再試行")),
                         qPrintable(retry));  // Qt in Japanese
            }
            if (!row.folder) {
                QVERIFY(app.ExitInstance());
                QVERIFY(!Exists(dir / "bin/Corvelin.ini"));
                continue;
            }
            const std::string profile = dir / row.folder + "/Corvelin.ini";
            if (row.answers.back() >= 0)
                QCOMPARE(preview, QString::fromStdString(dir / row.folder));
            QVERIFY(!Exists(profile));  // made at exit
            QVERIFY(app.ExitInstance());
            QVERIFY2(Exists(profile), row.folder);
        }
    }

    void terminationQuitsNormallyAndWritesTheProfile() {
        const struct {
            int signalNumber;
            bool profile;  // false: the first-start question is open
        } table[] = {{SIGTERM, true}, {SIGHUP, true}, {SIGINT, true}, {SIGTERM, false}};
        for (const auto& row : table) {
            TempDir dir;
            const std::string folder = dir / "cfg/Tessoly/Corvelin";
            if (row.profile) {
                MakeDir(dir / "cfg");
                MakeDir(dir / "cfg/Tessoly");
                MakeDir(folder);
                WriteFile(folder + "/Corvelin.ini", "[General]\nFONT_SIZE=-20\n");
            }
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            env.insert("HOME", QString::fromStdString(dir.Path()));
            env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir / "cfg"));
            program.setProcessEnvironment(env);
            program.start(QStringLiteral(CORVELIN_EXE), {});
            QVERIFY(program.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(Catches(program.processId(), row.signalNumber), 20000);
            if (!row.profile) QTest::qWait(300);  // let the question open
            ::kill(static_cast<pid_t>(program.processId()), row.signalNumber);
            QVERIFY(program.waitForFinished(20000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            if (!row.profile) {
                // Ended before a place was chosen: nothing made, asked again next time.
                QVERIFY(!Exists(dir / "cfg"));
                continue;
            }
            QCOMPARE(program.exitCode(), 0);
            const std::string written = ReadFile(folder + "/Corvelin.ini");
            QVERIFY(written.find("FONT_SIZE=-20") != std::string::npos);
            QVERIFY(written.find("COLOR_SET_FILE_TEXT=") != std::string::npos);
        }
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
