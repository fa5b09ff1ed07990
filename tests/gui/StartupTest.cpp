#include <signal.h>

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "settings/FakeSys.h"
#include "ui/CorvelinApp.h"
#include "ui/MainFrame.h"
#include "ui/MakeConfigDlg.h"

using gui_test::AnswerMessageBox;
using gui_test::Shown;
using gui_test::WhenModal;
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
void Choose(int location, QString* preview = nullptr) {
    WhenModal<CMakeConfigDlg>([location, preview](CMakeConfigDlg* dialog) {
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
            Choose(row.answer, &preview);
            QVERIFY(app.InitInstance({}));
            if (row.answer >= 0) QCOMPARE(preview, QString::fromStdString(dir / row.folder));
            QVERIFY(!Exists(dir / row.folder + "/Corvelin.ini"));  // made at exit
            QVERIFY(app.ExitInstance());
            QVERIFY2(Exists(dir / row.folder + "/Corvelin.ini"), row.folder);
            int profiles = 0;
            for (const char* place : {"bin", "bin/user", "cfg/Tessoly/Corvelin"}) {
                profiles += Exists(dir / place + "/Corvelin.ini");
            }
            QCOMPARE(profiles, 1);
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
            Shown warning;
            WhenModal<CMakeConfigDlg>([&](CMakeConfigDlg* dialog) {
                AnswerMessageBox(&warning, row.answer);
                if (row.answer == QMessageBox::Retry) Choose(2);
                dialog->accept();  // place 0, under a file
            });
            QVERIFY(app.InitInstance({}));
            QVERIFY2(warning.text.contains(QStringLiteral("作成できませんでした")),
                     qPrintable(warning.text));
            // Qt's own buttons speak Japanese.
            QVERIFY2(warning.buttons.join("").contains(QStringLiteral("再試行")),
                     qPrintable(warning.buttons.join(",")));
            QVERIFY(app.ExitInstance());
            QCOMPARE(Exists(dir / "bin/Corvelin.ini"), row.written);
        }
    }

    void aFoundProfileIsReadAndRewrittenWhole() {
        TempDir dir;
        MakeDir(dir / "bin");
        WriteFile(dir / "bin/Corvelin.ini",
                  "[General]\nFONT_SIZE=-20\n[PackInfo]\nFIRST_FLAG=0\n[PackInfo "
                  "1]\nName=M-DISC\nSize=25000M\n");
        FakeSys sys(dir / "bin", dir / "cfg", "user");
        CCorvelinApp app(sys);
        QVERIFY(app.InitInstance({}));  // no question: a dialog would hang here
        QCOMPARE(app.Settings().general.fontSize, -20);
        QCOMPARE(app.MainFrame()->findChild<QComboBox*>("packSize")->itemText(0),
                 QStringLiteral("M-DISC"));
        app.Settings().general.lineHeight = 4;
        QVERIFY(app.ExitInstance());
        const std::string written = ReadFile(dir / "bin/Corvelin.ini");
        for (const char* line :
             {"FONT_SIZE=-20", "LINE_HEIGHT=4", "COLOR_SET_PACK_BACK=", "M-DISC"}) {
            QVERIFY2(written.find(line) != std::string::npos, line);
        }
    }

    void terminationQuitsNormallyAndWritesTheProfile() {
        for (int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
            TempDir dir;
            const std::string folder = dir / "cfg/Tessoly/Corvelin";
            MakeDir(dir / "cfg");
            MakeDir(dir / "cfg/Tessoly");
            MakeDir(folder);
            WriteFile(folder + "/Corvelin.ini", "[General]\nFONT_SIZE=-20\n");
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            env.insert("HOME", QString::fromStdString(dir.Path()));
            env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir / "cfg"));
            program.setProcessEnvironment(env);
            program.start(QStringLiteral(CORVELIN_EXE), {});
            QVERIFY(program.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(Catches(program.processId(), signalNumber), 20000);
            ::kill(static_cast<pid_t>(program.processId()), signalNumber);
            QVERIFY(program.waitForFinished(20000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
            const std::string written = ReadFile(folder + "/Corvelin.ini");
            QVERIFY(written.find("FONT_SIZE=-20") != std::string::npos);
            QVERIFY(written.find("COLOR_SET_FILE_TEXT=") != std::string::npos);
        }
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
