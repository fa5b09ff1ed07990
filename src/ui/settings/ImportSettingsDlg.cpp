#include "ui/settings/ImportSettingsDlg.h"

#include <boost/make_shared.hpp>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "ui/settings/DialogButtons.h"
#include "ui/settings/DialogMessage.h"
#include "ui/settings/InputFileNameFilterDlg.h"
#include "ui/settings/InputFilterAttrDlg.h"
#include "ui/settings/InputStringDlg.h"

namespace text = import_settings_text;

namespace {

QString Caption() {
    return QString::fromUtf16(text::kCaption);
}

QListWidget* MakeFilterList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setMinimumWidth(list->fontMetrics().averageCharWidth() * 48);
    return list;
}

}  // namespace

CImportSettingsDlg::CImportSettingsDlg(ImportSettingsList& presets, CImportSettingsPtr working,
                                       CImportSettingsEditor::SavePresets savePresets,
                                       QWidget* parent)
    : QDialog(parent),
      editor_(presets, std::move(working), std::move(savePresets)),
      presetBox_(new QComboBox(this)),
      inputList_(MakeFilterList(this)),
      ignoreList_(MakeFilterList(this)),
      autoGroupBox_(new QCheckBox(tr("自動グルーピング"), this)) {
    setWindowTitle(QStringLiteral("Import settings"));

    auto* savePreset = new QPushButton(tr("保存"), this);
    auto* deletePreset = new QPushButton(tr("削除"), this);
    auto* addInput = new QPushButton(tr("追加"), this);
    auto* deleteInput = new QPushButton(tr("削除"), this);
    auto* addIgnore = new QPushButton(tr("追加"), this);
    auto* deleteIgnore = new QPushButton(tr("削除"), this);

    // Names for the tests that drive the dialog.
    presetBox_->setObjectName(QStringLiteral("presets"));
    savePreset->setObjectName(QStringLiteral("savePreset"));
    deletePreset->setObjectName(QStringLiteral("deletePreset"));
    addInput->setObjectName(QStringLiteral("addInput"));
    deleteInput->setObjectName(QStringLiteral("deleteInput"));
    addIgnore->setObjectName(QStringLiteral("addIgnore"));
    deleteIgnore->setObjectName(QStringLiteral("deleteIgnore"));
    inputList_->setObjectName(QStringLiteral("inputFilters"));
    ignoreList_->setObjectName(QStringLiteral("ignoreFilters"));
    autoGroupBox_->setObjectName(QStringLiteral("autoGroup"));

    auto* presetLabel = new QLabel(tr("プリセット:"), this);
    presetLabel->setBuddy(presetBox_);
    presetBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    presetBox_->setMinimumContentsLength(20);
    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(presetLabel);
    presetRow->addWidget(presetBox_, 1);
    presetRow->addWidget(savePreset);
    presetRow->addWidget(deletePreset);

    auto* filterFrame = new QGroupBox(QStringLiteral("Filter"), this);
    auto* filterGrid = new QGridLayout(filterFrame);
    auto addFilterRows = [&](int row, const QString& label, QPushButton* add, QPushButton* del,
                             QListWidget* list) {
        auto* caption = new QLabel(label, filterFrame);
        caption->setBuddy(list);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(caption, 1);
        buttons->addWidget(add);
        buttons->addWidget(del);
        filterGrid->addLayout(buttons, row, 0);
        filterGrid->addWidget(list, row + 1, 0);
    };
    addFilterRows(0, tr("入力:"), addInput, deleteInput, inputList_);
    addFilterRows(2, tr("無視:"), addIgnore, deleteIgnore, ignoreList_);

    auto* optionFrame = new QGroupBox(QStringLiteral("Option"), this);
    auto* optionLayout = new QVBoxLayout(optionFrame);
    optionLayout->addWidget(autoGroupBox_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(presetRow);
    layout->addWidget(filterFrame, 1);
    layout->addWidget(optionFrame);
    layout->addWidget(MakeOkCancelButtons(this));

    // Tab order follows the reading order.
    setTabOrder(presetBox_, savePreset);
    setTabOrder(savePreset, deletePreset);
    setTabOrder(deletePreset, addInput);
    setTabOrder(addInput, deleteInput);
    setTabOrder(deleteInput, inputList_);
    setTabOrder(inputList_, addIgnore);
    setTabOrder(addIgnore, deleteIgnore);
    setTabOrder(deleteIgnore, ignoreList_);
    setTabOrder(ignoreList_, autoGroupBox_);

    FillPresets(QString());
    Refresh();
    presetBox_->setFocus();

    // activated: a user's choice only, not the index changes a deletion makes.
    connect(presetBox_, qOverload<int>(&QComboBox::activated), this,
            &CImportSettingsDlg::OnPresetPicked);
    connect(savePreset, &QPushButton::clicked, this, &CImportSettingsDlg::OnSavePreset);
    connect(deletePreset, &QPushButton::clicked, this, &CImportSettingsDlg::OnDeletePreset);
    connect(addInput, &QPushButton::clicked, this,
            [this, addInput] { OnAddFilter(FilterList::Input, addInput); });
    connect(addIgnore, &QPushButton::clicked, this,
            [this, addIgnore] { OnAddFilter(FilterList::Ignore, addIgnore); });
    connect(deleteInput, &QPushButton::clicked, this,
            [this] { OnDeleteFilter(FilterList::Input); });
    connect(deleteIgnore, &QPushButton::clicked, this,
            [this] { OnDeleteFilter(FilterList::Ignore); });
}

CImportSettingsDlg::~CImportSettingsDlg() = default;

QListWidget* CImportSettingsDlg::ListOf(FilterList list) const {
    return list == FilterList::Input ? inputList_ : ignoreList_;
}

void CImportSettingsDlg::Refresh() {
    for (FilterList list : {FilterList::Input, FilterList::Ignore}) {
        QListWidget* box = ListOf(list);
        box->clear();
        for (const CImportFilterPtr& filter : editor_.Filters(list)) {
            box->addItem(ToQString(filter->Describe()));
        }
    }
    autoGroupBox_->setChecked(editor_.Working()->AutoGroup != 0);
}

void CImportSettingsDlg::OnPresetPicked(int index) {
    if (index >= 0 && editor_.PickPreset(static_cast<size_t>(index))) Refresh();
}

CImportFilterPtr CImportSettingsDlg::AskForFilter(QPushButton* button) {
    QMenu menu(this);
    QAction* byName = menu.addAction(tr("ファイル名"));
    QAction* byAttr = menu.addAction(tr("ファイル属性"));
    // Below the button rather than at the mouse, so that the keyboard works too.
    QAction* chosen = menu.exec(button->mapToGlobal(QPoint(0, button->height())));
    if (chosen == byName) {
        CInputFileNameFilterDlg dlg(QString(), true, this);
        if (dlg.exec() != QDialog::Accepted) return nullptr;
        return boost::make_shared<CFileNameImportFilter>(dlg.Pattern().toStdU16String(),
                                                         dlg.NoCase() ? 1 : 0);
    }
    if (chosen == byAttr) {
        CInputFilterAttrDlg dlg(0, 0, this);
        if (dlg.exec() != QDialog::Accepted) return nullptr;
        return boost::make_shared<CAttrImportFilter>(dlg.Attr(), dlg.Func());
    }
    return nullptr;
}

void CImportSettingsDlg::OnAddFilter(FilterList list, QPushButton* button) {
    CImportFilterPtr filter = AskForFilter(button);
    if (!filter) return;
    const QString description = ToQString(filter->Describe());
    if (!editor_.AddFilter(list, filter)) {
        ShowDialogMessage(this, QMessageBox::Information, Caption(),
                          QString::fromStdU16String(text::DuplicateFilter()));
        return;
    }
    ListOf(list)->addItem(description);
}

void CImportSettingsDlg::OnDeleteFilter(FilterList list) {
    QListWidget* box = ListOf(list);
    const QList<QListWidgetItem*> selected = box->selectedItems();
    if (selected.isEmpty()) {
        ShowDialogMessage(this, QMessageBox::Information, Caption(),
                          QString::fromStdU16String(text::SelectFilterFirst()));
        return;
    }
    const int row = box->row(selected.first());
    if (!editor_.DeleteFilter(list, static_cast<size_t>(row))) return;
    delete box->takeItem(row);
    box->clearSelection();
}

void CImportSettingsDlg::FillPresets(const QString& keepSelected) {
    presetBox_->clear();
    for (const CImportSettingsPtr& preset : editor_.Presets()) {
        presetBox_->addItem(preset ? ToQString(preset->name) : QString());
    }
    presetBox_->setCurrentIndex(keepSelected.isNull() ? -1 : presetBox_->findText(keepSelected));
}

void CImportSettingsDlg::OnSavePreset() {
    for (;;) {
        CInputStringDlg ask(QString::fromStdU16String(text::PresetNamePrompt()), QString(), this);
        if (ask.exec() != QDialog::Accepted) return;
        const QString name = ask.Text();
        // An empty name would give a preset nobody can pick from the list.
        if (name.isEmpty()) return;
        if (editor_.PresetNameExists(name.toStdU16String())) {
            ShowDialogMessage(this, QMessageBox::Information, Caption(),
                              QString::fromStdU16String(text::DuplicatePreset()));
            continue;
        }
        const int selected = presetBox_->currentIndex();
        const QString keep = selected < 0 ? QString() : presetBox_->itemText(selected);
        const auto outcome = editor_.SavePreset(name.toStdU16String(), autoGroupBox_->isChecked());
        // The file may hold another window's changes too.
        FillPresets(keep);
        if (outcome.nameTaken) {
            ShowDialogMessage(this, QMessageBox::Information, Caption(), ToQString(outcome.text));
            continue;
        }
        ShowDialogMessage(this, outcome.failed ? QMessageBox::Warning : QMessageBox::Information,
                          Caption(), ToQString(outcome.text));
        return;
    }
}

void CImportSettingsDlg::OnDeletePreset() {
    const int index = presetBox_->currentIndex();
    if (index < 0) return;
    const QString question = ToQString(text::AboutPreset(
        presetBox_->itemText(index).toStdU16String(), text::PresetEvent::ConfirmDelete));
    if (ShowDialogMessage(this, QMessageBox::Question, Caption(), question,
                          QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    const auto outcome = editor_.DeletePreset(static_cast<size_t>(index));
    FillPresets(QString());
    ShowDialogMessage(this, outcome.failed ? QMessageBox::Warning : QMessageBox::Information,
                      Caption(), ToQString(outcome.text));
}

void CImportSettingsDlg::accept() {
    editor_.Working()->AutoGroup = autoGroupBox_->isChecked() ? 1 : 0;
    QDialog::accept();
}
