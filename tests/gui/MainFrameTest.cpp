#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <boost/make_shared.hpp>

#include <cerrno>
#include <memory>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "packing/CorvelinDoc.h"
#include "settings/FakeSys.h"
#include "settings/SettingsStore.h"
#include "support/FaultyFileSystem.h"
#include "support/UiLanguage.h"
#include "ui/MainFrame.h"
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
                            "clearList=Ctrl+N- export+ graftLists | exit",
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
            driver.ThenClose<COptionDlg>(accept, [](COptionDlg* dlg) {
                dlg->findChild<QCheckBox*>("filterAlways")->setChecked(true);
                dlg->findChild<QCheckBox*>("fitImage")->setChecked(true);
            });
            Command("options")->trigger();
            QCOMPARE(settings_.general.filterAlways, accept ? 1 : before.general.filterAlways);
            QCOMPARE(settings_.general.fitImage, accept ? 1 : before.general.fitImage);
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

    // A typed size is what a run uses; Enter does not add it to the list.
    void typedPackSizeIsUsedButNotListed() {
        QComboBox* size = Box("packSize");
        QTest::keyClicks(size->lineEdit(), "4700M");
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        QCOMPARE(frame_->GetPackSizeText(), QStringLiteral("4700M"));
        QCOMPARE(size->count(), int(settings_.packInfoList.size()));
    }

    void exportAsThenRewriteOrKeepTheOldFileOnFailure() {
        auto item = boost::make_shared<CPackItem>(1, u"/x/a.bin", 1000);
        item->group = 0;
        doc_.root.AppendChild(item);
        doc_.groupCount = 1;
        QVERIFY(doc_.Pack(1u << 20));
        const std::string out = dir_ / "out.csv", expected = "/x/a.bin\t1000\t1\t1\t\r\n";

        // Ctrl+S before any export asks like the export command.
        QString proposed, folder;
        const QString target = QString::fromStdString(dir_ / "out");
        ModalDriver driver;
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
        item->group = NoGroup;
        fs_.writeError = ENOSPC;
        driver.ThenMessage();
        Command("save")->trigger();
        QVERIFY(driver.log.value(0).startsWith(QStringLiteral("ERROR: ")));
        QVERIFY(driver.log.value(0).contains(QStringLiteral("書き込めませんでした")));
        QCOMPARE(ReadFile(out), expected);
        fs_.writeError = 0;
        Command("save")->trigger();
        QCOMPARE(ReadFile(out), "/x/a.bin\t1000\t\t1\t\r\n");
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
