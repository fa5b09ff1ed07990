#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include "ModalDriver.h"
#include "ui/settings/ManagePackDlg.h"

namespace {

QStringList Column(const QTableWidget* table, int column) {
    QStringList out;
    for (int row = 0; row < table->rowCount(); ++row)
        out << table->item(row, column)->text();
    return out;
}

}  // namespace

class ManagePackDlgTest : public QObject {
    Q_OBJECT

private slots:
    void registersWithItsChecksAndDeletes() {
        ModalDriver driver;
        CManagePackDlg dlg(DefaultPackInfoList());
        dlg.show();
        QCOMPARE(dlg.windowTitle(), U(u"パックサイズの管理"));
        auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("sizes"));
        QCOMPARE(Column(table, 0).first(), QStringLiteral("Blu-ray DL(50GB)"));
        QCOMPARE(Column(table, 0).last(), QStringLiteral("DVD(4.7GB)"));
        auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("name"));
        auto* size = dlg.findChild<QLineEdit*>(QStringLiteral("size"));
        auto* unit = dlg.findChild<QComboBox*>(QStringLiteral("unit"));
        QCOMPARE(unit->currentText(), QStringLiteral("Byte"));

        struct Case {
            const char16_t* name;
            const char* size;
            int unit;
            const char16_t* message;  // null: registered
            QWidget* focus;
        } cases[] = {
            {u"", "4480", 2, u"INFORMATION: 名前を入力してください。", name},
            {u"DVD-R", "44x0", 2, u"ERROR: 無効なサイズです", size},
            {u"DVD-R", "4480", 2, nullptr, nullptr},
            {u"DVD-R", "1", 0, u"INFORMATION: すでにその名前で登録されています。", name},
            {u"Zip", "100", 1, nullptr, nullptr},
        };
        for (const Case& c : cases) {
            name->setText(QString::fromUtf16(c.name));
            size->setText(QLatin1String(c.size));
            unit->setCurrentIndex(c.unit);
            if (c.message) driver.ThenMessage();
            Click(dlg, "register");
            QCOMPARE(driver.log, c.message ? QStringList{U(c.message)} : QStringList());
            if (c.focus) QCOMPARE(dlg.focusWidget(), c.focus);
            driver.log.clear();
        }
        QCOMPARE(Column(table, 1).at(Column(table, 0).indexOf(QStringLiteral("DVD-R"))), "4480M");

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
        expected.insert(expected.end(), {{u"DVD-R", u"4480M"}, {u"Zip", u"100K"}});
        QVERIFY(dlg.List() == expected);
    }

    void aFullListRefusesMoreBeforeAnyOtherCheck() {
        PackInfoList full(100, {u"x", u"1"});
        ModalDriver driver;
        CManagePackDlg dlg(full);
        dlg.show();
        driver.ThenMessage();
        Click(dlg, "register");
        QCOMPARE(driver.log, QStringList{U(u"INFORMATION: これ以上登録することが出来ません。")});
        QCOMPARE(dlg.findChild<QTableWidget*>()->rowCount(), 100);
    }
};

QTEST_MAIN(ManagePackDlgTest)
#include "ManagePackDlgTest.moc"
