#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
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
        QCOMPARE(dlg.windowTitle(), QString::fromUtf16(u"パックサイズの管理"));
        auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("sizes"));
        QCOMPARE(Column(table, 0).first(), QStringLiteral("Blu-ray DL(50GB)"));
        QCOMPARE(Column(table, 0).last(), QStringLiteral("DVD(4.7GB)"));
        auto* name = dlg.findChild<QLineEdit*>(QStringLiteral("name"));
        auto* size = dlg.findChild<QLineEdit*>(QStringLiteral("size"));
        auto* unit = dlg.findChild<QComboBox*>(QStringLiteral("unit"));
        auto* registerButton = dlg.findChild<QPushButton*>(QStringLiteral("register"));
        auto* deleteButton = dlg.findChild<QPushButton*>(QStringLiteral("delete"));
        QCOMPARE(unit->currentText(), QStringLiteral("Byte"));

        struct Case {
            const char16_t* name;
            const char* size;
            int unit;
            const char16_t* caption;  // null: registered
            const char16_t* text;
            QWidget* focus;
        } cases[] = {
            {u"", "4480", 2, u"INFORMATION", u"名前を入力してください。", name},
            {u"DVD-R", "44x0", 2, u"ERROR", u"無効なサイズです", size},
            {u"DVD-R", "4480", 2, nullptr, nullptr, nullptr},
            {u"DVD-R", "1", 0, u"INFORMATION", u"すでにその名前で登録されています。", name},
            {u"Zip", "100", 1, nullptr, nullptr, nullptr},
        };
        for (const Case& c : cases) {
            name->setText(QString::fromUtf16(c.name));
            size->setText(QLatin1String(c.size));
            unit->setCurrentIndex(c.unit);
            if (c.caption) driver.ThenMessage();
            QTest::mouseClick(registerButton, Qt::LeftButton);
            QVERIFY(driver.AllAnswered());
            if (!c.caption) continue;
            QCOMPARE(driver.messages.back().caption, QString::fromUtf16(c.caption));
            QCOMPARE(driver.messages.back().text, QString::fromUtf16(c.text));
            QCOMPARE(dlg.focusWidget(), c.focus);
        }
        QCOMPARE(driver.messages.size(), size_t(3));
        QVERIFY(Column(table, 0).contains(QStringLiteral("DVD-R")));
        QCOMPARE(Column(table, 1).at(Column(table, 0).indexOf(QStringLiteral("DVD-R"))),
                 QStringLiteral("4480M"));

        driver.ThenMessage();  // nothing selected
        QTest::mouseClick(deleteButton, Qt::LeftButton);
        QCOMPARE(driver.messages.back().text,
                 QString::fromUtf16(u"リストから削除したいアイテムを選択してください"));
        table->selectRow(0);  // "Blu-ray DL(50GB)"
        QTest::mouseClick(deleteButton, Qt::LeftButton);
        QVERIFY(driver.unexpected.empty());

        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        PackInfoList expected = DefaultPackInfoList();
        expected.erase(expected.begin() + 1);
        expected.push_back({u"DVD-R", u"4480M"});
        expected.push_back({u"Zip", u"100K"});
        QVERIFY(dlg.List() == expected);
    }

    void aFullListRefusesMore() {
        PackInfoList full;
        for (int i = 0; i < 100; ++i)
            full.push_back({u"p" + std::u16string(1, char16_t(0x4E00 + i)), u"1"});
        ModalDriver driver;
        CManagePackDlg dlg(full);
        dlg.show();
        dlg.findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("more"));
        driver.ThenMessage();
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("register")), Qt::LeftButton);
        QCOMPARE(driver.messages.at(0).text,
                 QString::fromUtf16(u"これ以上登録することが出来ません。"));
        QCOMPARE(dlg.findChild<QTableWidget*>()->rowCount(), 100);
    }
};

QTEST_MAIN(ManagePackDlgTest)
#include "ManagePackDlgTest.moc"
