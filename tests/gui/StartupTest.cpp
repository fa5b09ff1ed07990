#include <signal.h>

#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "settings/FakeSys.h"
#include "support/UiLanguage.h"
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

// Whether the main thread waits in an event loop: without a profile the first
// one is the first-start question's. True where the kernel does not say.
bool WaitsForEvents(qint64 pid) {
    QFile wchan(QStringLiteral("/proc/%1/wchan").arg(pid));
    if (!wchan.open(QIODevice::ReadOnly)) return true;
    const QByteArray where = wchan.readAll();
    return where == "0" || where.contains("poll");
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    // As main() does: the language decides which translations the start installs.
    void initTestCase() { SetUiLanguage(UiLanguageFromEnvironment()); }
    void firstStartCreatesTheChosenPlaceAndWritesTheProfileThereAtExit() {
        const struct {
            int answer;  // -1: Escape
            const char* folder;
        } table[] = {
            {0, "cfg/Tessoly/Corvelin"}, {1, "bin/user"}, {2, "bin"}, {-1, "cfg/Tessoly/Corvelin"}};
        for (const auto& row : table) {
            TempDir dir;
            MakeDir(dir / "bin");
            FakeSys sys(dir / "bin", dir / "cfg", "user");
            CCorvelinApp app(sys);
            QString preview;
            ModalDriver driver;
            Choose(driver, row.answer, &preview);
            QVERIFY(app.InitInstance({}));
            if (row.answer >= 0) QCOMPARE(preview, QString::fromStdString(dir / row.folder));
            QVERIFY(!Exists(dir / row.folder + "/Corvelin.ini"));  // made at exit
            QVERIFY(app.ExitInstance());
            QVERIFY2(Exists(dir / row.folder + "/Corvelin.ini"), row.folder);
        }
    }

    void aPlaceThatCannotBeMadeIsReportedAndAskedAgain() {
        const struct {
            QMessageBox::StandardButton answer;
            bool written;
        } table[] = {{QMessageBox::Retry, true}, {QMessageBox::Ignore, false}};
        for (const auto& row : table) {
            TempDir dir;
            MakeDir(dir / "bin");
            WriteFile(dir / "blocker", "");
            FakeSys sys(dir / "bin", dir / "blocker/cfg", "user");
            CCorvelinApp app(sys);
            ModalDriver driver;
            Choose(driver, 0);  // under a file
            QString warning, retry;
            driver.Then([&](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                warning = box->text();
                retry = box->button(QMessageBox::Retry)->text();
                box->button(row.answer)->click();
            });
            if (row.answer == QMessageBox::Retry) Choose(driver, 2);
            QVERIFY(app.InitInstance({}));
            QVERIFY(driver.AllAnswered());
            QVERIFY2(warning.contains(QStringLiteral("作成できませんでした")), qPrintable(warning));
            QVERIFY2(retry.contains(QStringLiteral("再試行")),
                     qPrintable(retry));  // Qt in Japanese
            QVERIFY(app.ExitInstance());
            QCOMPARE(Exists(dir / "bin/Corvelin.ini"), row.written);
        }
    }

    // What the files held that this start could not take is said once, over
    // the window, and the original profile is kept before its rewrite.
    void damagedPresetsAndPackSizesPastTheLimitAreTold() {
        TempDir dir;
        MakeDir(dir / "bin");
        const std::string profile = "[PackInfo]\nFIRST_FLAG=0\n[PackInfo 150]\nName=x\nSize=1M\n";
        WriteFile(dir / "bin/Corvelin.ini", profile);
        WriteFile(dir / "bin/ImportSettings.xml", "<ImportSettings>\nName=cut\n");
        FakeSys sys(dir / "bin", dir / "cfg", "user");
        CCorvelinApp app(sys);
        ModalDriver driver;
        driver.ThenMessage();
        driver.ThenMessage();
        QVERIFY(app.InitInstance({}));
        QTRY_VERIFY(driver.AllAnswered());
        QVERIFY2(driver.log.value(0).contains(U(u"100 件を超える")),
                 qPrintable(driver.log.value(0)));
        QVERIFY2(driver.log.value(1).contains(U(u"「cut」")), qPrintable(driver.log.value(1)));
        QVERIFY(app.ExitInstance());
        QCOMPARE(ReadFile(dir / "bin/Corvelin.ini.bak"), profile);
        QCOMPARE(ReadFile(dir / "bin/Corvelin.ini").find("Name=x"), std::string::npos);
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
            QTRY_VERIFY_WITH_TIMEOUT(row.profile || WaitsForEvents(program.processId()), 20000);
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
