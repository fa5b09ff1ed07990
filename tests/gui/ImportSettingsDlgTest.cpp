#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <boost/make_shared.hpp>

#include "ModalDriver.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsFile.h"
#include "support/PosixFileSystem.h"
#include "ui/settings/ImportSettingsDlg.h"
#include "ui/settings/InputFileNameFilterDlg.h"
#include "ui/settings/InputFilterAttrDlg.h"
#include "ui/settings/InputStringDlg.h"

namespace {

QString U(const char16_t* text) {
    return QString::fromUtf16(text);
}

QStringList Lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Answers the name dialog with a typed text and Enter.
void TypeName(ModalDriver& driver, const QString& name) {
    driver.ThenDialog<CInputStringDlg>([name](CInputStringDlg* dlg) {
        QCOMPARE(dlg->windowTitle(), U(u"プリセット名を入力してください"));
        QTest::keyClicks(dlg->focusWidget(), name);
        QTest::keyClick(dlg->focusWidget(), Qt::Key_Return);
    });
}

void AddNameFilter(ModalDriver& driver, const QString& pattern, bool nocase = true) {
    driver.ThenMenu(U(u"ファイル名"));
    driver.ThenDialog<CInputFileNameFilterDlg>([pattern, nocase](CInputFileNameFilterDlg* dlg) {
        QCOMPARE(dlg->windowTitle(), U(u"フィルター（ファイル名）"));
        QTest::keyClicks(dlg->focusWidget(), pattern);
        if (!nocase) dlg->findChild<QCheckBox*>()->setChecked(false);
        QTest::keyClick(dlg->focusWidget(), Qt::Key_Return);
    });
}

}  // namespace

class ImportSettingsDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    ImportSettingsList presets_;
    std::string folder_;

    CImportSettingsEditor::SavePresets Saver() {
        return [this](std::string& message) {
            return SaveImportSettings(zel::IFileSystem::Default(), folder_, presets_, message);
        };
    }

    void Click(QDialog& dlg, const char* name) {
        QTest::mouseClick(dlg.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }

private slots:
    void init() {
        folder_ = dir_.path().toStdString();
        presets_ = {MakeDefaultImportSettings()};
    }

    void presetsAreSavedReloadedAndDeleted() {
        ModalDriver driver;
        CImportSettingsDlg dlg(presets_, nullptr, Saver());
        dlg.show();
        auto* box = dlg.findChild<QComboBox*>(QStringLiteral("presets"));
        QCOMPARE(box->currentIndex(), -1);
        Click(dlg, "deletePreset");  // nothing picked: no question

        AddNameFilter(driver, QStringLiteral("*.mp3"));
        Click(dlg, "addInput");
        dlg.findChild<QCheckBox*>(QStringLiteral("autoGroup"))->setChecked(true);
        TypeName(driver, QStringLiteral("ALL FILES"));
        driver.ThenMessage();
        TypeName(driver, QStringLiteral("Music"));
        driver.ThenMessage();
        Click(dlg, "savePreset");
        QVERIFY(driver.AllAnswered());

        ImportSettingsList loaded;
        QVERIFY(LoadImportSettings(zel::IFileSystem::Default(), folder_, loaded));
        QCOMPARE(loaded.size(), size_t(2));
        QCOMPARE(loaded[1]->name, std::u16string(u"Music"));
        QCOMPARE(loaded[1]->AutoGroup, 1);
        QCOMPARE(loaded[1]->inputFilters.at(0)->Describe(),
                 std::u16string(u"ファイル名が「*.mp3」と一致する(nocase)"));
        QCOMPARE(box->itemText(1), QStringLiteral("Music"));
        QCOMPARE(box->currentIndex(), -1);

        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);  // "all files"
        driver.ThenMessage(QMessageBox::No);
        Click(dlg, "deletePreset");
        driver.ThenMessage(QMessageBox::Yes);
        driver.ThenMessage();
        Click(dlg, "deletePreset");
        QVERIFY(driver.AllAnswered());
        QVERIFY(LoadImportSettings(zel::IFileSystem::Default(), folder_, loaded));
        QCOMPARE(loaded.size(), size_t(1));
        QCOMPARE(loaded[0]->name, std::u16string(u"Music"));
        // The working settings were copied from "all files" and stay so.
        QCOMPARE(Lines(dlg.findChild<QListWidget*>(QStringLiteral("inputFilters"))),
                 QStringList{U(u"ファイル名が「*.*」と一致する")});

        const std::vector<ShownMessage> expected = {
            {U(u"INFO"), U(u"既にその名前のプリセットが存在します。")},
            {U(u"INFO"), U(u"プリセット「Music」を保存しました。")},
            {U(u"INFO"), U(u"プリセット「all files」を削除してもよろしいですか？")},
            {U(u"INFO"), U(u"プリセット「all files」を削除してもよろしいですか？")},
            {U(u"INFO"), U(u"プリセット「all files」を削除しました。")},
        };
        QCOMPARE(driver.messages.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            QCOMPARE(driver.messages[i].caption, expected[i].caption);
            QCOMPARE(driver.messages[i].text, expected[i].text);
        }
        QVERIFY(driver.unexpected.empty());
    }

    void aFailedWriteIsReportedInsteadOfSaved() {
        folder_ = dir_.filePath(QStringLiteral("missing/folder")).toStdString();
        ModalDriver driver;
        CImportSettingsDlg dlg(presets_, nullptr, Saver());
        dlg.show();
        TypeName(driver, QStringLiteral("Kept"));
        driver.ThenMessage();
        Click(dlg, "savePreset");
        QCOMPARE(driver.messages.size(), size_t(1));
        QCOMPARE(driver.messages[0].caption, U(u"INFO"));
        QVERIFY(driver.messages[0].text.startsWith(
            U(u"プリセット「Kept」をファイルに保存できませんでした。")));
        QCOMPARE(presets_.size(), size_t(2));
    }

    void editsChangeTheOpenedSettingsButNeverAPickedPreset() {
        auto opened = boost::make_shared<CImportSettings>();
        {
            ModalDriver driver;
            CImportSettingsDlg dlg(presets_, opened, Saver());
            dlg.show();
            auto* ignore = dlg.findChild<QListWidget*>(QStringLiteral("ignoreFilters"));
            driver.ThenMenu(U(u"ファイル属性"));
            driver.ThenDialog<CInputFilterAttrDlg>([](CInputFilterAttrDlg* attr) {
                QCOMPARE(attr->windowTitle(), U(u"フィルター（属性）"));
                QTest::keyClick(attr->focusWidget(), Qt::Key_Space);  // read-only
                attr->findChild<QComboBox*>()->setCurrentIndex(1);    // contains
                QTest::keyClick(attr->focusWidget(), Qt::Key_Return);
            });
            Click(dlg, "addIgnore");
            AddNameFilter(driver, QString());  // empty pattern: no filter, no message
            Click(dlg, "addIgnore");
            driver.ThenMenu(QString());  // menu dismissed
            Click(dlg, "addIgnore");
            driver.ThenMessage();
            Click(dlg, "deleteIgnore");  // nothing selected
            QTest::keyClick(&dlg, Qt::Key_Escape);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(Lines(ignore), QStringList{U(u"ファイル属性が「r」を含む")});
            QCOMPARE(driver.messages.size(), size_t(1));
            QCOMPARE(driver.messages[0].text, U(u"削除したい項目を選んでから実行してください"));
            QVERIFY(driver.unexpected.empty());
        }
        QCOMPARE(opened->ignoreFilters.size(), size_t(1));  // kept after Cancel

        ModalDriver driver;
        CImportSettingsDlg dlg(presets_, opened, Saver());
        dlg.show();
        auto* box = dlg.findChild<QComboBox*>(QStringLiteral("presets"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        auto* input = dlg.findChild<QListWidget*>(QStringLiteral("inputFilters"));
        QCOMPARE(Lines(input), QStringList{U(u"ファイル名が「*.*」と一致する")});
        AddNameFilter(driver, QStringLiteral("*.*"), false);  // the same line: refused
        driver.ThenMessage();
        Click(dlg, "addInput");
        AddNameFilter(driver, QStringLiteral("*.TXT"), false);
        Click(dlg, "addInput");
        AddNameFilter(driver, QStringLiteral("*.txt"), false);  // letter case aside
        driver.ThenMessage();
        Click(dlg, "addInput");
        AddNameFilter(driver, QStringLiteral("*.txt"), false);  // other list: allowed
        Click(dlg, "addIgnore");
        input->setCurrentRow(0);
        Click(dlg, "deleteInput");
        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(driver.AllAnswered());
        QCOMPARE(driver.messages.size(), size_t(2));
        QCOMPARE(driver.messages[1].caption, U(u"INFO"));
        QCOMPARE(driver.messages[1].text, U(u"既に同じフィルターが存在します"));
        QVERIFY(driver.unexpected.empty());

        QVERIFY(dlg.Working() != presets_[0] && dlg.Working() != opened);
        QCOMPARE(dlg.Working()->inputFilters.size(), size_t(1));
        QCOMPARE(dlg.Working()->ignoreFilters.size(), size_t(1));
        QCOMPARE(presets_[0]->inputFilters.size(), size_t(1));
        QCOMPARE(presets_[0]->ignoreFilters.size(), size_t(0));
        QCOMPARE(opened->ignoreFilters.size(), size_t(1));
    }
};

QTEST_MAIN(ImportSettingsDlgTest)
#include "ImportSettingsDlgTest.moc"
