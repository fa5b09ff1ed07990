#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <cerrno>
#include <memory>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "packing/CorvelinDoc.h"
#include "settings/FakeSys.h"
#include "settings/SettingsStore.h"
#include "support/FaultyFileSystem.h"
#include "support/UiLanguage.h"
#include "ui/CorvelinView.h"
#include "ui/MainFrame.h"
#include "ui/settings/DisplayFont.h"
#include "ui/settings/ManagePackDlg.h"
#include "ui/settings/OptionDlg.h"

using testing_support::ReadFile;
using testing_support::TempDir;

// Catches what the frame hands to the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};

class MainFrameTest : public QObject {
    Q_OBJECT
    TempDir dir_;
    testing_support::FaultyFileSystem fs_;
    testing_support::FakeSys sys_{dir_ / "bin", dir_ / "cfg", "user"};
    SettingsStore settings_;
    CCorvelinDoc doc_;
    std::unique_ptr<CMainFrame> frame_;

    QAction* Command(const char* name) { return frame_->findChild<QAction*>(name); }
    QComboBox* Box(const char* name) { return frame_->findChild<QComboBox*>(name); }

private slots:
    void initTestCase() { SetUiLanguage(UiLanguageFromEnvironment()); }
    void init() {
        settings_ = SettingsStore();  // filter-always from an earlier test would ask on a drop
        frame_ = std::make_unique<CMainFrame>(doc_, settings_, sys_, fs_);
        frame_->show();
    }
    void cleanup() { frame_.reset(); }

    // The menus, keys and pictures the command table lays out.
    void commandsStandWhereTheyDid() {
        QStringList menus;
        for (QAction* title : frame_->menuBar()->actions()) {
            QStringList entries;
            for (QAction* action : title->menu()->actions()) {
                QString entry = action->isSeparator() ? QStringLiteral("|") : action->objectName();
                if (!action->shortcut().isEmpty()) entry += "=" + action->shortcut().toString();
                if (!action->icon().isNull())
                    entry +=
                        action->isIconVisibleInMenu() ? QStringLiteral("+") : QStringLiteral("-");
                entries << entry;
            }
            menus << entries.join(' ');
        }
        QCOMPARE(menus, QStringList({
                            "clearList=Ctrl+N- export+ graftLists writeDiscs recordPlan | exit",
                            "run=Ctrl+E+ back=Ctrl+B+ | newGroup=Ctrl+G+ addToGroup=Ctrl+I+ "
                            "removeFromGroup=Alt+G+ groupEach groupSubfolders",
                            "toolBarToggle statusBar",
                            "managePack options+ | catalog skipArchived",
                            "help+ homePage+ | about-",
                        }));
        QCOMPARE(Command("save")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    }

    // Changes made in the options and pack-size dialogs apply on OK only.
    void settingsDialogsApplyOnOkOnly() {
        for (const bool accept : {false, true}) {
            const SettingsStore before = settings_;
            ModalDriver driver;
            QString face;
            driver.ThenClose<COptionDlg>(accept, [&face](COptionDlg* dlg) {
                face = dlg->findChild<QLineEdit*>("face")->text();
                dlg->findChild<QCheckBox*>("filterAlways")->setChecked(true);
                dlg->findChild<QCheckBox*>("fitImage")->setChecked(true);
                dlg->findChild<QCheckBox*>("recordMd5")->setChecked(true);
            });
            Command("options")->trigger();
            QCOMPARE(settings_.general.filterAlways, accept ? 1 : before.general.filterAlways);
            QCOMPARE(settings_.general.fitImage, accept ? 1 : before.general.fitImage);
            QCOMPARE(settings_.general.recordMd5, accept ? 1 : before.general.recordMd5);
            // The face the list is drawn in, though the profile's is not installed;
            // OK without a choice keeps the profile's.
            QVERIFY(face.startsWith(QFontInfo(MakeListFont(before.general)).family()));
            QVERIFY(settings_.general.fontFace == before.general.fontFace);
            const QString name = QString::number(before.packInfoList.size());  // not yet taken
            driver.ThenClose<CManagePackDlg>(accept, [name](CManagePackDlg* dlg) {
                dlg->findChild<QLineEdit*>("name")->setText(name);
                dlg->findChild<QLineEdit*>("size")->setText("1");
                QTest::mouseClick(dlg->findChild<QPushButton*>("register"), Qt::LeftButton);
            });
            Command("managePack")->trigger();
            const size_t count = before.packInfoList.size() + (accept ? 1 : 0);
            QCOMPARE(settings_.packInfoList.size(), count);
            QCOMPARE(size_t(Box("packSize")->count()), count);
            QCOMPARE(Box("fillRate")->count(), 3);  // refilled, not appended to
            QCOMPARE(driver.log, QStringList());
        }
    }

    // The drop's archive option is kept in the settings, which go to the profile.
    void skipArchivedIsKeptInTheSettings() {
        settings_.general.skipArchived = 1;
        frame_ = std::make_unique<CMainFrame>(doc_, settings_, sys_, fs_);
        QVERIFY(Command("skipArchived")->isChecked());
        Command("skipArchived")->trigger();
        QCOMPARE(settings_.general.skipArchived, 0);
    }

    // A typed size is what a run uses; Enter does not add it to the list.
    void typedPackSizeIsUsedButNotListed() {
        QComboBox* size = Box("packSize");
        QTest::keyClicks(size->lineEdit(), "4700M");
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        QCOMPARE(frame_->GetPackSizeText(), QStringLiteral("4700M"));
        QCOMPARE(size->count(), int(settings_.packInfoList.size()));
    }

    void exportAsThenRewriteOrKeepTheOldFileOnFailure() {
        const std::string file = dir_ / "a.bin", out = dir_ / "out.csv";
        testing_support::WriteFile(file, std::string(1000, 'x'));
        ModalDriver driver;
        driver.passing = QStringList{"CAddFilesDlg", "CPackRunDlg"};
        frame_->View()->DropPaths({file}, false);
        CPackItem& item = *doc_.root.children.at(0);
        item.group = 0;
        doc_.groupCount = 1;
        Box("packSize")->setEditText("1M");
        Command("run")->trigger();
        const std::string expected = file + "\t1000\t1\t1\t\r\n";

        // Ctrl+S before any export asks like the export command.
        QString proposed, folder;
        const QString target = QString::fromStdString(dir_ / "out");
        driver.ThenDialog<QFileDialog>([&](QFileDialog* dialog) {
            proposed = dialog->selectedFiles().value(0);
            folder = dialog->directory().absolutePath();
            dialog->selectFile(target);
            static_cast<QDialog*>(dialog)->accept();  // protected in QFileDialog
        });
        Command("save")->trigger();
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("export.csv"));
        QCOMPARE(folder, QDir::homePath());
        QCOMPARE(frame_->ExportPath(), out);
        QCOMPARE(ReadFile(out), expected);

        // Ctrl+S again rewrites without asking; a failed write keeps the old file.
        item.group = NoGroup;
        fs_.writeError = ENOSPC;
        driver.ThenMessage();
        Command("save")->trigger();
        QVERIFY(driver.log.value(0).startsWith(QStringLiteral("ERROR: ")));
        QVERIFY(driver.log.value(0).contains(QStringLiteral("書き込めませんでした")));
        QCOMPARE(ReadFile(out), expected);
        fs_.writeError = 0;
        Command("save")->trigger();
        QCOMPARE(ReadFile(out), file + "\t1000\t\t1\t\r\n");
        QCOMPARE(driver.log.size(), 1);  // no question

        // Once the file is gone, Ctrl+S asks again.
        QFile::remove(QString::fromStdString(out));
        driver.ThenDialog<QFileDialog>(
            [](QFileDialog* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        Command("save")->trigger();
        QVERIFY(driver.AllAnswered());
        QVERIFY(!QFile::exists(QString::fromStdString(out)));

        // Clearing the list forgets the file and empties the document.
        Command("clearList")->trigger();
        QCOMPARE(frame_->ExportPath(), std::string());
        QVERIFY(doc_.root.children.empty());
    }

    // The keys as a user presses them: after the invalid-size message the
    // keyboard is in the pack-size box; Ctrl+S rewrites the export only while
    // the list shows the packs it holds, never after Back, Delete or a clear.
    void keyboardRunAndSaveOnlyWhileThePacksAreShown() {
        ModalDriver driver;
        driver.passing = QStringList{"CAddFilesDlg", "CPackRunDlg"};
        const std::string a = dir_ / "a", b = dir_ / "b", out = dir_ / "out.csv";
        testing_support::WriteFile(a, std::string(600, 'a'));
        testing_support::WriteFile(b, std::string(300, 'b'));
        CCorvelinView& view = *frame_->View();
        view.DropPaths({a, b}, false);
        auto active = [this] {  // back from a dialog
            frame_->activateWindow();
            return QTest::qWaitForWindowActive(frame_.get());
        };
        auto key = [&active](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
            QVERIFY(active());
            QTest::keyClick(QApplication::focusWidget(), k, m);
        };
        Box("packSize")->setEditText("4.7G");
        view.setFocus();
        driver.ThenMessage();
        key(Qt::Key_E);
        QCOMPARE(driver.log, QStringList{U(u"ERROR: パックサイズに正しい値を入力してください")});
        QCOMPARE(driver.icons.value(0), QMessageBox::Critical);
        QVERIFY(!view.CanBack());  // nothing ran
        QVERIFY(active() && Box("packSize")->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), "800");
        driver.ThenMessage();  // no image fits so small a medium
        key(Qt::Key_E);
        driver.ThenDialog<QFileDialog>([&](QFileDialog* dialog) {
            dialog->selectFile(QString::fromStdString(out));
            static_cast<QDialog*>(dialog)->accept();
        });
        Command("export")->trigger();
        const std::string exported = ReadFile(out);
        QCOMPARE(exported, a + "\t600\t\t1\t\r\n" + b + "\t300\t\t2\t\r\n");

        // The files of both packs put into one group: the file still says what was shown.
        view.setFocus();
        key(Qt::Key_B);
        view.selectAll();
        key(Qt::Key_G);
        key(Qt::Key_S);
        QCOMPARE(ReadFile(out), exported);
        driver.ThenMessage();
        key(Qt::Key_E);
        key(Qt::Key_S);
        const std::string regrouped = ReadFile(out);
        QVERIFY(regrouped != exported);  // shown, so written

        // A finished action's report gives way to the idle prompt at the next command.
        frame_->statusBar()->showMessage(U(u"2 個のリストを書き出しました"));
        key(Qt::Key_B);
        QCOMPARE(frame_->statusBar()->currentMessage(), QString());
        view.selectRow(0);
        key(Qt::Key_Delete, Qt::NoModifier);
        key(Qt::Key_S);
        QCOMPARE(ReadFile(out), regrouped);

        key(Qt::Key_N);
        key(Qt::Key_S);  // no save dialog either
        QCOMPARE(ReadFile(out), regrouped);
        QVERIFY(driver.AllAnswered());
        QCOMPARE(driver.log.size(), 3);
    }

    void helpAndHomePage() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "Open");
        QDesktopServices::setUrlHandler("https", &catcher, "Open");
        QDir(QString::fromStdString(dir_.Path())).mkpath("share/corvelin");
        testing_support::MakeDir(dir_ / "bin");
        ModalDriver driver;
        driver.ThenMessage();
        Command("help")->trigger();  // no help file anywhere
        QCOMPARE(driver.log, QStringList{U(u"Corvelin: ヘルプファイルが見つかりませんでした")});
        // Beside the program first, else where its data lies.
        for (const char* place : {"share/corvelin/Corvelin.html", "bin/Corvelin.html"}) {
            testing_support::WriteFile(dir_ / place, "<html></html>");
            Command("help")->trigger();
            QCOMPARE(QDir::cleanPath(catcher.opened.takeLast().toLocalFile()),
                     QString::fromStdString(dir_ / place));
        }
        Command("homePage")->trigger();
        QCOMPARE(catcher.opened.value(0).scheme(), QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler("file");
        QDesktopServices::unsetUrlHandler("https");
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
