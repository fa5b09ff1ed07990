#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

#include <boost/make_shared.hpp>

#include "ModalDriver.h"
#include "TestSupport.h"
#include "intake/ImportSettingsFile.h"
#include "ui/settings/ImportSettingsDlg.h"
#include "ui/settings/InputFileNameFilterDlg.h"
#include "ui/settings/InputFilterAttrDlg.h"
#include "ui/settings/InputStringDlg.h"

namespace {

QStringList Lines(const QDialog& dlg, const char* list) {
    QStringList out;
    const auto* box = dlg.findChild<QListWidget*>(QLatin1String(list));
    for (int i = 0; i < box->count(); ++i)
        out << box->item(i)->text();
    return out;
}

// Types into the focused field of the next dialog and presses Enter.
template <typename T>
void Type(ModalDriver& driver, const QString& text) {
    driver.ThenDialog<T>([text](T* dlg) {
        QTest::keyClicks(dlg->focusWidget(), text);
        QTest::keyClick(dlg->focusWidget(), Qt::Key_Return);
    });
}

// A file-name filter with the letter-case box left ticked.
void AddNameFilter(ModalDriver& driver, const QString& pattern) {
    driver.ThenMenu(U(u"ファイル名"));
    Type<CInputFileNameFilterDlg>(driver, pattern);
}

}  // namespace

class ImportSettingsDlgTest : public QObject {
    Q_OBJECT

    ImportSettingsList presets_;
    bool writeFails_ = false;

    CImportSettingsEditor::SavePresets Saver() {
        return [this](std::string& message) {
            message = "disk full";
            return !writeFails_;
        };
    }

private slots:
    void init() { presets_ = {MakeDefaultImportSettings()}; }

    void presetsAreSavedAndDeletedThroughTheButtons() {
        ModalDriver driver;
        CImportSettingsDlg dlg(presets_, nullptr, Saver());
        dlg.show();
        auto* box = dlg.findChild<QComboBox*>(QStringLiteral("presets"));
        Click(dlg, "deletePreset");  // nothing picked: no question

        AddNameFilter(driver, QStringLiteral("*.mp3"));
        Click(dlg, "addInput");
        dlg.findChild<QCheckBox*>(QStringLiteral("autoGroup"))->setChecked(true);
        Type<CInputStringDlg>(driver, QStringLiteral("ALL FILES"));  // taken: asked again
        driver.ThenMessage();
        Type<CInputStringDlg>(driver, QStringLiteral("Music"));
        driver.ThenMessage();
        Click(dlg, "savePreset");
        QCOMPARE(presets_.size(), size_t(2));
        QCOMPARE(presets_[1]->AutoGroup, 1);
        QCOMPARE(presets_[1]->inputFilters.size(), size_t(1));
        QCOMPARE(box->itemText(1), QStringLiteral("Music"));

        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);  // picks "all files"
        driver.ThenMessage(QMessageBox::No);
        Click(dlg, "deletePreset");
        driver.ThenMessage(QMessageBox::Yes);
        driver.ThenMessage();
        Click(dlg, "deletePreset");
        QCOMPARE(presets_.size(), size_t(1));
        QCOMPARE(box->itemText(0), QStringLiteral("Music"));
        writeFails_ = true;
        Type<CInputStringDlg>(driver, QStringLiteral("Kept"));
        driver.ThenMessage();
        Click(dlg, "savePreset");
        const QString question = U(u"INFO: プリセット「all files」を削除してもよろしいですか？");
        QCOMPARE(driver.log,
                 (QStringList{U(u"INFO: 既にその名前のプリセットが存在します。"),
                              U(u"INFO: プリセット「Music」を保存しました。"), question, question,
                              U(u"INFO: プリセット「all files」を削除しました。"),
                              U(u"INFO: プリセット「Kept」をファイルに保存できませんでした。\n"
                                u"disk full")}));
        QCOMPARE(driver.icons.last(), QMessageBox::Warning);
    }

    // Another window on the same folder saved "Other" after this list was read.
    void anotherWindowsPresetShowsAfterASaveAndItsNameIsAskedAgain() {
        testing_support::TempDir dir;
        zel::IFileSystem& fs = zel::IFileSystem::Default();
        CImportSettingsStore mine(fs, dir.Path());
        mine.Load();
        presets_ = mine.presets;
        ImportSettingsList theirs{MakeDefaultImportSettings(), MakeDefaultImportSettings()};
        theirs[1]->name = u"Other";
        testing_support::WriteFile(dir / "ImportSettings.xml", FormatImportSettings(theirs));

        ModalDriver driver;
        CImportSettingsDlg dlg(presets_, nullptr, [&](std::string& text) {
            const auto result = mine.Save(presets_, text);
            if (result != CImportSettingsStore::SaveResult::Failed) presets_ = mine.presets;
            return result == CImportSettingsStore::SaveResult::Written;
        });
        dlg.show();
        Type<CInputStringDlg>(driver, QStringLiteral("other"));
        driver.ThenMessage();
        Type<CInputStringDlg>(driver, QStringLiteral("Mine"));
        driver.ThenMessage();
        Click(dlg, "savePreset");
        QCOMPARE(driver.log, (QStringList{U(u"INFO: 既にその名前のプリセットが存在します。"),
                                          U(u"INFO: プリセット「Mine」を保存しました。")}));
        auto* box = dlg.findChild<QComboBox*>(QStringLiteral("presets"));
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(1) + box->itemText(2), QStringLiteral("OtherMine"));
    }

    void editsChangeTheOpenedSettingsButNeverAPickedPreset() {
        auto opened = boost::make_shared<CImportSettings>();
        {
            ModalDriver driver;
            CImportSettingsDlg dlg(presets_, opened, Saver());
            dlg.show();
            driver.ThenMenu(U(u"ファイル属性"));
            driver.ThenDialog<CInputFilterAttrDlg>([](CInputFilterAttrDlg* attr) {
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
            QCOMPARE(driver.log,
                     QStringList{U(u"INFO: 削除したい項目を選んでから実行してください")});
        }
        QCOMPARE(opened->ignoreFilters.at(0)->Describe(),
                 std::u16string(u"ファイル属性が「r」を含む"));

        ModalDriver driver;
        CImportSettingsDlg dlg(presets_, opened, Saver());
        dlg.show();
        QTest::keyClick(dlg.findChild<QComboBox*>(QStringLiteral("presets")), Qt::Key_Down);
        QCOMPARE(Lines(dlg, "ignoreFilters"), QStringList());
        AddNameFilter(driver, QStringLiteral("*.TXT"));
        Click(dlg, "addInput");
        AddNameFilter(driver, QStringLiteral("*.txt"));  // the same line, letter case aside
        driver.ThenMessage();
        Click(dlg, "addInput");
        dlg.findChild<QListWidget*>(QStringLiteral("inputFilters"))->setCurrentRow(0);
        Click(dlg, "deleteInput");
        QTest::keyClick(&dlg, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(driver.log, QStringList{U(u"INFO: 既に同じフィルターが存在します")});
        QCOMPARE(Lines(dlg, "inputFilters"),
                 QStringList{U(u"ファイル名が「*.TXT」と一致する(nocase)")});
        QCOMPARE(dlg.Working()->inputFilters.size(), size_t(1));
    }
};

QTEST_MAIN(ImportSettingsDlgTest)
#include "ImportSettingsDlgTest.moc"
