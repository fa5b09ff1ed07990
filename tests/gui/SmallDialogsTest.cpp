// The automatic grouping, pack size and option dialogs, answered as a user would.

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTreeWidget>

#include <string>

#include "ModalDriver.h"
#include "model/PackItem.h"
#include "ui/AutoGroupDlg.h"
#include "ui/settings/AutoGroupConfirmDlg.h"
#include "ui/settings/DisplayColor.h"
#include "ui/settings/ManagePackDlg.h"
#include "ui/settings/OptionDlg.h"

namespace {

// The holder of one drop: a folder /d of count files whose names differ only
// in their numbers, so every one is a candidate.
CPackFolderPtr Drop(int count) {
    auto holder = CPackFolder::Create(0, u"", 0);
    auto folder = CPackFolder::Create(1, u"/d", 0);
    for (int i = 0; i < count; ++i) {
        const std::string name = "/d/holiday-photo-" + std::to_string(100000 + i) + ".jpg";
        folder->AppendChild(CPackItem::Create(static_cast<uint32_t>(i + 2),
                                              std::u16string(name.begin(), name.end()), 10));
    }
    holder->AppendChild(folder);
    return holder;
}

}  // namespace

class SmallDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void autoGroupSearchRunsOnItsOwnThreadAndCancels() {
        CAutoGroupDlg found(Drop(6));
        QCOMPARE(found.exec(), int(QDialog::Accepted));
        QVERIFY(found.GetTable());
        QCOMPARE(found.GetTable()->size(), size_t{1});
        QCOMPARE(found.GetTable()->front().size(), size_t{6});

        // A folder big enough to take seconds; Cancel ends it at once with nothing.
        CAutoGroupDlg cancelled(Drop(30000));
        QTimer::singleShot(50, &cancelled, [&] { QTest::keyClick(&cancelled, Qt::Key_Escape); });
        QCOMPARE(cancelled.exec(), int(QDialog::Rejected));
        QVERIFY(!cancelled.GetTable());
    }

    void autoGroupConfirmKeepsOnlyTickedCandidates() {
        auto root = CPackFolder::Create(1, u"/in", 0);
        for (const char16_t* name :
             {u"photo001.jpg", u"photo002.jpg", u"photo003.jpg", u"report.doc", u"report2.doc"}) {
            root->AppendChild(CPackItem::Create(2, root->GetPath() + u"/" + name, 1));
        }
        auto member = [&](int i) { return root->children[size_t(i)].get(); };
        CAutoGroupConfirmDlg dlg({{member(0), member(1), member(2)}, {member(3), member(4)}});
        dlg.show();
        auto* tree = dlg.findChild<QTreeWidget*>();
        QVERIFY(tree->topLevelItem(1)->isExpanded());
        QCOMPARE(tree->topLevelItem(1)->child(0)->text(0), QStringLiteral("report"));
        // With the keyboard: move to the node and toggle its box with Space. A
        // group's box leaves its members' boxes alone.
        for (QTreeWidgetItem* node : {tree->topLevelItem(0)->child(1), tree->topLevelItem(1)}) {
            tree->setCurrentItem(node);
            QTest::keyClick(tree, Qt::Key_Space);
        }
        QCOMPARE(tree->topLevelItem(1)->child(0)->checkState(0), Qt::Checked);
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(dlg.Keeps(0, 0) && !dlg.Keeps(0, 1) && dlg.Keeps(0, 2) && !dlg.Keeps(1, 0));
    }

    void managePackRegistersWithItsChecksAndDeletes() {
        ModalDriver driver;
        CManagePackDlg full(PackInfoList(100, {u"x", u"1"}));
        full.show();
        // A full list refuses more before any other check.
        driver.ThenMessage();
        Click(full, "register");
        QCOMPARE(driver.log, QStringList{U(u"INFORMATION: これ以上登録することが出来ません。")});
        QCOMPARE(full.findChild<QTableWidget*>()->rowCount(), 100);
        driver.log.clear();

        CManagePackDlg dlg(DefaultPackInfoList());
        dlg.show();
        auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("sizes"));
        auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("name"));
        auto* size = dlg.findChild<QLineEdit*>(QStringLiteral("size"));
        auto* unit = dlg.findChild<QComboBox*>(QStringLiteral("unit"));
        auto* capacity = dlg.findChild<QLineEdit*>(QStringLiteral("capacity"));
        const struct {
            const char16_t* name;
            const char *size, *capacity;
            int unit;
            const char16_t* message;  // null: registered
            QWidget* focus;
        } cases[] = {
            {u"", "4480", "", 2, u"INFORMATION: 名前を入力してください。", name},
            {u"DVD-R", "44x0", "", 2, u"ERROR: 無効なサイズです", size},
            {u"DVD-R", "4480", "4.7G", 2, u"ERROR: 無効な容量です", capacity},
            {u"DVD-R", "4480", "4707319808", 2, nullptr, nullptr},
            {u"DVD-R", "1", "", 0, u"INFORMATION: すでにその名前で登録されています。", name},
        };
        for (const auto& c : cases) {
            name->setText(QString::fromUtf16(c.name));
            size->setText(QLatin1String(c.size));
            capacity->setText(QLatin1String(c.capacity));
            unit->setCurrentIndex(c.unit);
            if (c.message) driver.ThenMessage();
            Click(dlg, "register");
            QCOMPARE(driver.log, c.message ? QStringList{U(c.message)} : QStringList());
            if (c.focus) QCOMPARE(dlg.focusWidget(), c.focus);
            driver.log.clear();
        }

        const int dvd = table->findItems(QStringLiteral("DVD-R"), Qt::MatchExactly).value(0)->row();
        QCOMPARE(table->item(dvd, 1)->text(), QStringLiteral("4480M"));
        QCOMPARE(table->item(dvd, 2)->text(), QStringLiteral("4,707,319,808"));
        driver.ThenMessage();  // nothing selected
        Click(dlg, "delete");
        table->selectRow(0);  // "Blu-ray DL(50GB)"
        Click(dlg, "delete");
        QCOMPARE(driver.log,
                 QStringList{U(u"INFORMATION: リストから削除したいアイテムを選択してください")});
        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        PackInfoList expected = DefaultPackInfoList();
        expected.erase(expected.begin() + 1);
        expected.push_back({u"DVD-R", u"4480M", 4707319808u});
        QVERIFY(dlg.List() == expected);
    }

    void optionValuesComeBackOnOk() {
        DisplaySettings before;
        before.colorFileBack = StoredFromColor(QColor(0, 200, 0));
        ModalDriver driver;
        COptionDlg dlg(before);
        dlg.show();
        // The sample is drawn on the selected pair's background.
        const QImage sample = dlg.findChild<QWidget*>(QStringLiteral("sample"))->grab().toImage();
        QCOMPARE(QColor(sample.pixel(3, 3)), QColor(0, 200, 0));
        auto* pairs = dlg.findChild<QListWidget*>(QStringLiteral("colorPairs"));
        pairs->clearSelection();
        driver.ThenMessage();
        Click(dlg, "chooseBack");
        pairs->setCurrentRow(3);  // "パック"
        driver.ThenDialog<QColorDialog>([](QColorDialog* chooser) {
            chooser->setCurrentColor(QColor(10, 20, 30));
            chooser->accept();
        });
        Click(dlg, "chooseText");
        driver.ThenDialog<QFontDialog>([](QFontDialog* chooser) {
            QFont big(QStringLiteral("Noto Sans CJK JP"));
            big.setPointSize(48);
            chooser->setCurrentFont(big);
            chooser->accept();
        });
        Click(dlg, "chooseFont");
        dlg.findChild<QComboBox*>(QStringLiteral("sizeUnit"))->setCurrentIndex(3);
        dlg.findChild<QCheckBox*>(QStringLiteral("simpleIcon"))->setChecked(false);
        auto* lineHeight = dlg.findChild<QLineEdit*>(QStringLiteral("lineHeight"));
        lineHeight->clear();  // which values pass: the option rules' test
        driver.ThenMessage();
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QTest::keyClicks(lineHeight, QStringLiteral("7"));
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(driver.AllAnswered());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(driver.log,
                 (QStringList{U(u"INFORMATION: リストから変更したい項目を選んでください。"),
                              U(u"Corvelin: 0 から 10 までの整数を入力してください。")}));
        const DisplaySettings& after = dlg.Settings();
        QCOMPARE(after.colorPackText, 0x1E140Au);
        QCOMPARE(after.colorFileBack, before.colorFileBack);
        QCOMPARE(after.fontFace, std::u16string(u"Noto Sans CJK JP"));
        QCOMPARE(after.fontSize, -40);  // 48 pt clamped to 30 pt at 96 dpi
        QCOMPARE(after.lineHeight, 7);
        QCOMPARE(after.dispSizeUnit, 3);
        QCOMPARE(after.simpleIcon, 0);
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "SmallDialogsTest.moc"
