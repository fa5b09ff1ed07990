#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "ModalDriver.h"
#include "ui/settings/DisplayFont.h"
#include "ui/settings/OptionDlg.h"

class OptionDlgTest : public QObject {
    Q_OBJECT

    static void Click(QDialog& dlg, const char* name) {
        QTest::mouseClick(dlg.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }

    static void PickColor(ModalDriver& driver, QColor color) {
        driver.ThenDialog<QColorDialog>([color](QColorDialog* chooser) {
            chooser->setCurrentColor(color);
            chooser->accept();
        });
    }

private slots:
    void valuesComeBackOnOkOnly_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void valuesComeBackOnOkOnly() {
        QFETCH(bool, accept);
        const DisplaySettings before;
        ModalDriver driver;
        COptionDlg dlg(before);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QString::fromUtf16(u"オプション"));
        QCOMPARE(dlg.findChild<QLineEdit*>(QStringLiteral("face"))->text(),
                 QString::fromUtf16(u"ＭＳ ゴシック"));

        auto* pairs = dlg.findChild<QListWidget*>(QStringLiteral("colorPairs"));
        pairs->setCurrentRow(3);  // "パック"
        PickColor(driver, QColor(10, 20, 30));
        Click(dlg, "chooseText");
        driver.ThenDialog<QFontDialog>([](QFontDialog* chooser) {
            QFont big(QStringLiteral("Noto Sans CJK JP"));
            big.setPointSize(48);
            chooser->setCurrentFont(big);
            chooser->accept();
        });
        Click(dlg, "chooseFont");
        auto* lineHeight = dlg.findChild<QLineEdit*>(QStringLiteral("lineHeight"));
        lineHeight->clear();
        QTest::keyClicks(lineHeight, QStringLiteral("7"));
        dlg.findChild<QComboBox*>(QStringLiteral("sizeUnit"))->setCurrentIndex(3);
        dlg.findChild<QCheckBox*>(QStringLiteral("simpleIcon"))->setChecked(false);
        dlg.findChild<QCheckBox*>(QStringLiteral("filterAlways"))->setChecked(true);
        QTest::keyClick(&dlg, accept ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(driver.AllAnswered());
        QVERIFY(driver.unexpected.empty());
        QCOMPARE(dlg.result(), int(accept ? QDialog::Accepted : QDialog::Rejected));
        if (!accept) return;  // the caller only reads Settings() after OK

        const DisplaySettings& after = dlg.Settings();
        QCOMPARE(after.colorPackText, StoredFromColor(QColor(10, 20, 30)));
        QCOMPARE(after.colorPackText, 0x1E140Au);
        QCOMPARE(after.colorPackBack, before.colorPackBack);
        QCOMPARE(after.fontFace, std::u16string(u"Noto Sans CJK JP"));
        QCOMPARE(after.fontSize, -40);  // 48 pt clamped to 30 pt at 96 dpi
        QCOMPARE(after.lineHeight, 7);
        QCOMPARE(after.dispSizeUnit, 3);
        QCOMPARE(after.simpleIcon, 0);
        QCOMPARE(after.filterAlways, 1);
    }

    void messagesAppearOnlyWhenTheirConditionHolds() {
        DisplaySettings settings;
        settings.colorFileBack = StoredFromColor(QColor(0, 200, 0));
        ModalDriver driver;
        COptionDlg dlg(settings);
        dlg.show();
        // The sample shows the selected pair: background at the edge, text colour inside.
        const QImage sample = dlg.findChild<QWidget*>(QStringLiteral("sample"))->grab().toImage();
        QCOMPARE(QColor(sample.pixel(3, 3)), QColor(0, 200, 0));
        QVERIFY(sample.allGray() == false);

        auto* pairs = dlg.findChild<QListWidget*>(QStringLiteral("colorPairs"));
        pairs->clearSelection();
        driver.ThenMessage();
        Click(dlg, "chooseBack");
        auto* lineHeight = dlg.findChild<QLineEdit*>(QStringLiteral("lineHeight"));
        for (const char* refused : {"11", "", "x"}) {
            lineHeight->setText(QLatin1String(refused));
            driver.ThenMessage();
            QTest::keyClick(&dlg, Qt::Key_Return);
            QVERIFY(dlg.isVisible());
        }
        lineHeight->setText(QStringLiteral("10"));
        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(driver.unexpected.empty());
        QCOMPARE(driver.messages.size(), size_t(4));
        QCOMPARE(driver.messages[0].caption, QStringLiteral("INFORMATION"));
        QCOMPARE(driver.messages[0].text,
                 QString::fromUtf16(u"リストから変更したい項目を選んでください。"));
        QCOMPARE(driver.messages[1].caption, QStringLiteral("Corvelin"));
        QCOMPARE(driver.messages[1].text,
                 QString::fromUtf16(u"0 から 10 までの整数を入力してください。"));
    }
};

QTEST_MAIN(OptionDlgTest)
#include "OptionDlgTest.moc"
