#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "ModalDriver.h"
#include "ui/settings/DisplayColor.h"
#include "ui/settings/OptionDlg.h"

class OptionDlgTest : public QObject {
    Q_OBJECT

private slots:
    void valuesComeBackOnOk() {
        const DisplaySettings before;
        ModalDriver driver;
        COptionDlg dlg(before);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), U(u"オプション"));
        QCOMPARE(dlg.findChild<QLineEdit*>(QStringLiteral("face"))->text(), U(u"ＭＳ ゴシック"));

        auto* pairs = dlg.findChild<QListWidget*>(QStringLiteral("colorPairs"));
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
        auto* lineHeight = dlg.findChild<QLineEdit*>(QStringLiteral("lineHeight"));
        lineHeight->clear();
        QTest::keyClicks(lineHeight, QStringLiteral("7"));
        dlg.findChild<QComboBox*>(QStringLiteral("sizeUnit"))->setCurrentIndex(3);
        dlg.findChild<QCheckBox*>(QStringLiteral("simpleIcon"))->setChecked(false);
        dlg.findChild<QCheckBox*>(QStringLiteral("filterAlways"))->setChecked(true);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(driver.AllAnswered() && driver.log.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));

        const DisplaySettings& after = dlg.Settings();
        QCOMPARE(after.colorPackText, 0x1E140Au);
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
        // The sample is drawn on the selected pair's background.
        const QImage sample = dlg.findChild<QWidget*>(QStringLiteral("sample"))->grab().toImage();
        QCOMPARE(QColor(sample.pixel(3, 3)), QColor(0, 200, 0));

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
        const QString refusal = U(u"Corvelin: 0 から 10 までの整数を入力してください。");
        QCOMPARE(driver.log,
                 (QStringList{U(u"INFORMATION: リストから変更したい項目を選んでください。"),
                              refusal, refusal, refusal}));
    }
};

QTEST_MAIN(OptionDlgTest)
#include "OptionDlgTest.moc"
