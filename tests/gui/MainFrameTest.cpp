#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <boost/make_shared.hpp>

#include <cerrno>
#include <memory>

#include "GuiTestSupport.h"
#include "ModalDriver.h"
#include "TestSupport.h"
#include "packing/CorvelinDoc.h"
#include "settings/FakeSys.h"
#include "settings/SettingsStore.h"
#include "support/FaultyFileSystem.h"
#include "ui/MainFrame.h"
#include "ui/settings/ManagePackDlg.h"
#include "ui/settings/OptionDlg.h"

using gui_test::WhenModal;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

CPackItem* AddFile(CPackFolder& folder, const std::string& path, uint64_t size,
                   uint64_t group = NoGroup) {
    static uint32_t nextId = 1;
    auto item = boost::make_shared<CPackItem>(nextId++, testing_support::U(path), size);
    item->group = group;
    folder.AppendChild(item);
    return item.get();
}

}  // namespace

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
    void init() {
        frame_ = std::make_unique<CMainFrame>(doc_, settings_, sys_, fs_);
        frame_->show();
    }
    void cleanup() { frame_.reset(); }

    void settingsDialogsApplyOnOkOnly_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void settingsDialogsApplyOnOkOnly() {
        QFETCH(bool, accept);
        const SettingsStore before = settings_;
        WhenModal<COptionDlg>([accept](COptionDlg* dlg) {
            dlg->findChild<QCheckBox*>("filterAlways")->setChecked(true);
            accept ? dlg->accept() : dlg->reject();
        });
        Command("options")->trigger();
        QCOMPARE(settings_.general.filterAlways, accept ? 1 : before.general.filterAlways);
        const QString name = QString::number(before.packInfoList.size());  // not yet taken
        WhenModal<CManagePackDlg>([accept, name](CManagePackDlg* dlg) {
            dlg->findChild<QLineEdit*>("name")->setText(name);
            QTest::mouseClick(dlg->findChild<QPushButton*>("register"), Qt::LeftButton);
            accept ? dlg->accept() : dlg->reject();
        });
        Command("managePack")->trigger();
        const size_t count = before.packInfoList.size() + (accept ? 1 : 0);
        QCOMPARE(settings_.packInfoList.size(), count);
        QCOMPARE(size_t(Box("packSize")->count()), count);
    }

    void menusHoldEveryItemVerbatim() {
        QStringList menus;
        for (QAction* title : frame_->menuBar()->actions()) {
            QStringList items{title->text()};
            for (QAction* item : title->menu()->actions()) {
                items << (item->isSeparator() ? QStringLiteral("-") : item->text());
            }
            menus << items.join(QLatin1Char('|'));
        }
        QCOMPARE(menus, QStringList({
                            "ファイル(&F)|リストを空にする\tCtrl+N(&N)|エクスポート(&A)...|"
                            "ディスク用リストを書き出す(&D)...|-|"
                            "アプリケーションの終了(&X)",
                            "操作(&O)|実行\tCtr+E|戻る\tCtrl+B|-|新しいグループ\tCtrl+G|"
                            "既存のグループに入れる\tCtrl+I|グループからはずす\tAlt+G|"
                            "個別にグループ化|サブフォルダをグループ化",
                            "表示(&V)|ツール バー(&T)|ステータス バー(&S)",
                            "ツール(&T)|パックサイズの管理(&M)...|オプション(&O)...",
                            "ヘルプ(&H)|ヘルプ目次|Tessoly software Home Page|-|"
                            "バージョン情報 Corvelin(&A)...",
                        }));
    }

    void commandsHaveTheirKeysPromptsAndIcons() {
        const struct {
            const char* name;
            const char* keys;
            const char* prompt;
            const char* tip;  // null: no tooltip of its own
            bool menuIcon;
        } table[] = {
            {"clearList", "Ctrl+N", "リストを空にします", "リストを空にします", false},
            {"export", "", "結果をファイルに保存", "ｴｸｽﾎﾟｰﾄ", true},
            {"save", "Ctrl+S", "", nullptr, false},
            {"exit", "", "アプリケーションを終了し、ファイルの保存を指示\\終了", nullptr, false},
            {"run", "Ctrl+E", "実行", "実行", true},
            {"back", "Ctrl+B", "実行前の状態に戻ります", "戻る", true},
            {"newGroup", "Ctrl+G", "新しいグループを作成します", "新しいグループを作成します",
             true},
            {"addToGroup", "Ctrl+I", "既存のグループに入れます", "既存のグループに入れます", true},
            {"removeFromGroup", "Alt+G", "グループからはずします", "グループからはずします", true},
            {"groupEach", "", "選択項目を個別にグループ化", nullptr, false},
            {"groupSubfolders", "", "選択フォルダのサブフォルダすべてを個別にグループ化", nullptr,
             false},
            {"managePack", "", "パックサイズ管理", "パックサイズの管理をします", false},
            {"options", "", "オプション", "オプション", true},
            {"help", "", "", nullptr, true},
            {"homePage", "", "", nullptr, true},
            {"about", "", "プログラム情報、バージョン、著作権を表示します。", "バージョン情報",
             false},
        };
        for (const auto& row : table) {
            QAction* action = Command(row.name);
            QVERIFY2(action, row.name);
            QCOMPARE(action->shortcut(), QKeySequence(QString::fromLatin1(row.keys)));
            QCOMPARE(action->statusTip(), QString::fromUtf8(row.prompt));
            if (row.tip) QCOMPARE(action->toolTip(), QString::fromUtf8(row.tip));
            QCOMPARE(!action->icon().isNull() && action->isIconVisibleInMenu(), row.menuIcon);
        }
        // The keys without a command are taken, so the list never acts on them.
        QStringList taken;
        for (QShortcut* s : frame_->findChildren<QShortcut*>("noOp"))
            taken << s->key().toString();
        QCOMPARE(taken, QStringList({"Ctrl+C", "Ctrl+Ins", "Ctrl+X", "Shift+Del", "Ctrl+V",
                                     "Shift+Ins", "Ctrl+Z", "Alt+Backspace", "F6", "Shift+F6"}));
    }

    void toolbarOrderAndStatusBar() {
        auto* bar = frame_->findChild<QToolBar*>("toolBar");
        QStringList order;
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                order << "-";
            } else if (QWidget* widget = bar->widgetForAction(action);
                       widget && widget->objectName() != QString()) {
                order << widget->objectName();
            } else {
                order << action->objectName();
            }
        }
        // Toolbar buttons are tool buttons whose object names are empty: the
        // action's name is what counts; the boxes are named widgets.
        QCOMPARE(order, QStringList({"clearList", "export", "-", "newGroup", "addToGroup",
                                     "removeFromGroup", "packSize", "fillRate", "-", "run", "back",
                                     "-", "about"}));
        QVERIFY(!Command("clearList")->icon().isNull());
        QVERIFY(!Command("about")->icon().isNull());
        QCOMPARE(Box("packSize")->width(), 150);
        QCOMPARE(Box("fillRate")->width(), 60);

        auto* idle = frame_->statusBar()->findChild<QLabel*>("idleText");
        QCOMPARE(idle->text(), QStringLiteral("レディ"));
        QVERIFY(idle->isVisible());
        frame_->statusBar()->showMessage(Command("run")->statusTip());
        QVERIFY(!idle->isVisible());
        frame_->statusBar()->clearMessage();
        QVERIFY(idle->isVisible());
        for (const char* pane : {"CAP", "NUM", "SCRL"}) {
            QVERIFY2(frame_->statusBar()->findChild<QLabel*>(pane), pane);
        }
    }

    void comboBoxesAfterEveryFill() {
        settings_.packInfoList = {{u"CD(650MB)", u"650M"}, {u"小さい", u"12"}};
        for (int fill = 0; fill < 2; ++fill) {
            frame_->FillToolbarCombos();
            QComboBox* size = Box("packSize");
            QCOMPARE(size->count(), 2);
            QCOMPARE(size->itemText(1), QStringLiteral("小さい"));
            QCOMPARE(size->currentIndex(), -1);
            QCOMPARE(frame_->GetPackSizeText(), QString());
            QComboBox* rate = Box("fillRate");
            QCOMPARE(rate->count(), 3);
            QCOMPARE(rate->itemText(2), QStringLiteral("90%"));
            QCOMPARE(frame_->GetFillRateText(), QStringLiteral("100%"));
        }
        // An empty list still takes a typed size; Enter does not add it to the list.
        settings_.packInfoList.clear();
        frame_->FillToolbarCombos();
        QComboBox* size = Box("packSize");
        QCOMPARE(size->count(), 0);
        QTest::keyClicks(size->lineEdit(), "4700M");
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        QCOMPARE(frame_->GetPackSizeText(), QStringLiteral("4700M"));
        QCOMPARE(size->count(), 0);
    }

    void exportAsThenRewriteOrKeepTheOldFileOnFailure() {
        CPackItem* grouped = AddFile(doc_.root, "/x/a.bin", 1000, 0);
        AddFile(doc_.root, "/y/日本.txt", 20);
        doc_.groupCount = 1;
        QVERIFY(doc_.Pack(1u << 20));
        const std::string japanese = "/y/\xE6\x97\xA5\xE6\x9C\xAC.txt\t20\t\t1\t\r\n";
        const std::string expected = "/x/a.bin\t1000\t1\t1\t\r\n" + japanese;

        // Ctrl+S before any export asks like the export command.
        QString title, filter, proposed, folder;
        const QString target = QString::fromStdString(dir_ / "out");
        ModalDriver driver;
        driver.ThenDialog<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            filter = dialog->nameFilters().join(";");
            proposed = dialog->selectedFiles().value(0);
            folder = dialog->directory().absolutePath();
            dialog->selectFile(target);
            static_cast<QDialog*>(dialog)->accept();  // protected in QFileDialog
        });
        Command("save")->trigger();
        QCOMPARE(title, QStringLiteral("名前を付けて保存"));
        QCOMPARE(filter, QStringLiteral("ﾀﾌﾞ区切りﾃｷｽﾄ(*.csv)"));
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("export.csv"));
        QCOMPARE(folder, QDir::homePath());
        QCOMPARE(frame_->ExportPath(), dir_ / "out.csv");
        QCOMPARE(ReadFile(dir_ / "out.csv"), expected);

        // Ctrl+S again rewrites without asking; a failed write keeps the old file.
        grouped->group = NoGroup;
        fs_.writeError = ENOSPC;
        driver.ThenMessage();
        Command("save")->trigger();
        QVERIFY(driver.log.value(0).startsWith(QStringLiteral("ERROR: ")));
        QVERIFY(driver.log.value(0).contains(QStringLiteral("書き込めませんでした")));
        QCOMPARE(ReadFile(dir_ / "out.csv"), expected);
        fs_.writeError = 0;
        Command("save")->trigger();
        QCOMPARE(ReadFile(dir_ / "out.csv"), "/x/a.bin\t1000\t\t1\t\r\n" + japanese);
        QCOMPARE(driver.log.size(), 1);  // no question

        // Once the file is gone, Ctrl+S asks again.
        QFile::remove(QString::fromStdString(dir_ / "out.csv"));
        driver.ThenDialog<QFileDialog>(
            [](QFileDialog* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        Command("save")->trigger();
        QVERIFY(driver.AllAnswered());
        QVERIFY(!QFile::exists(QString::fromStdString(dir_ / "out.csv")));

        // Clearing the list forgets the file and empties the document.
        Command("clearList")->trigger();
        QCOMPARE(frame_->ExportPath(), std::string());
        QVERIFY(doc_.root.children.empty());
    }

    void helpAndHomePage() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "Open");
        QDesktopServices::setUrlHandler("https", &catcher, "Open");
        const struct {
            const char* place;  // where the help file lies; null: nowhere
        } table[] = {{nullptr}, {"share/corvelin/Corvelin.html"}, {"bin/Corvelin.html"}};
        testing_support::MakeDir(dir_ / "bin");
        testing_support::MakeDir(dir_ / "share");
        testing_support::MakeDir(dir_ / "share/corvelin");
        for (const auto& row : table) {
            catcher.opened.clear();
            ModalDriver driver;
            if (row.place) {
                testing_support::WriteFile(dir_ / row.place, "<html></html>");
            } else {
                driver.ThenMessage();
            }
            Command("help")->trigger();
            if (row.place) {
                QCOMPARE(QDir::cleanPath(catcher.opened.value(0).toLocalFile()),
                         QString::fromStdString(dir_ / row.place));
            } else {
                QCOMPARE(driver.log.value(0).section(QStringLiteral(": "), 1),
                         QStringLiteral("ヘルプファイルが見つかりませんでした"));
                QVERIFY(catcher.opened.isEmpty());
            }
        }
        catcher.opened.clear();
        Command("homePage")->trigger();
        QCOMPARE(catcher.opened.value(0).scheme(), QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler("file");
        QDesktopServices::unsetUrlHandler("https");
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
