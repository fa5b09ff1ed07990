#include "ui/settings/OptionDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/OptionRules.h"
#include "ui/settings/ColorSample.h"
#include "ui/settings/DialogButtons.h"
#include "ui/settings/DialogMessage.h"
#include "ui/settings/DisplayFont.h"

namespace {

constexpr qreal kMaxFontPoints = 30;

constexpr const char* kPairNames[kColorPairCount] = {
    QT_TRANSLATE_NOOP("COptionDlg", "ファイル"), QT_TRANSLATE_NOOP("COptionDlg", "フォルダ"),
    QT_TRANSLATE_NOOP("COptionDlg", "選択"),     QT_TRANSLATE_NOOP("COptionDlg", "パック"),
    QT_TRANSLATE_NOOP("COptionDlg", "奇数"),     QT_TRANSLATE_NOOP("COptionDlg", "偶数")};

QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QPushButton* ChooseButton(QWidget* parent) {
    return new QPushButton(COptionDlg::tr("選択..."), parent);
}

}  // namespace

COptionDlg::COptionDlg(const DisplaySettings& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      font_(MakeListFont(settings)),
      faceEdit_(new QLineEdit(this)),
      lineHeightEdit_(new QLineEdit(this)),
      unitBox_(new QComboBox(this)),
      simpleIconBox_(new QCheckBox(tr("簡易アイコンで表示する"), this)),
      pairList_(new QListWidget(this)),
      sample_(new CColorSample(this)),
      filterAlwaysBox_(new QCheckBox(tr("常にフィルター画面を表示する"), this)),
      fitImageBox_(new QCheckBox(tr("イメージサイズがメディアに収まるようにパックする"), this)),
      recordMd5Box_(new QCheckBox(tr("ディスクとイメージに xorriso の MD5 も記録する"), this)) {
    setWindowTitle(tr("オプション"));

    faceEdit_->setReadOnly(true);
    ShowFace();
    auto* fontButton = ChooseButton(this);
    lineHeightEdit_->setInputMethodHints(Qt::ImhDigitsOnly);
    lineHeightEdit_->setMaxLength(2);
    lineHeightEdit_->setText(QString::number(settings.lineHeight));
    lineHeightEdit_->setMaximumWidth(lineHeightEdit_->fontMetrics().averageCharWidth() * 8);
    for (const char* unit : {"Auto", "Byte", "KB", "MB"})
        unitBox_->addItem(QString::fromLatin1(unit));
    unitBox_->setCurrentIndex(
        settings.dispSizeUnit >= 0 && settings.dispSizeUnit <= 3 ? settings.dispSizeUnit : 0);
    simpleIconBox_->setChecked(settings.simpleIcon != 0);

    auto* display = new QGroupBox(tr("表示"), this);
    auto* displayGrid = new QGridLayout(display);
    displayGrid->addWidget(Label(tr("フォント:"), faceEdit_, display), 0, 0, 1, 2);
    displayGrid->addWidget(faceEdit_, 1, 0);
    displayGrid->addWidget(fontButton, 1, 1);
    displayGrid->addWidget(Label(tr("行間:"), lineHeightEdit_, display), 2, 0, 1, 2);
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(lineHeightEdit_);
    lineRow->addWidget(new QLabel(QStringLiteral("px (0 ... 10)"), display));
    lineRow->addStretch(1);
    displayGrid->addLayout(lineRow, 3, 0, 1, 2);
    displayGrid->addWidget(Label(tr("サイズ表示:"), unitBox_, display), 4, 0, 1, 2);
    displayGrid->addWidget(unitBox_, 5, 0, 1, 2);
    displayGrid->addWidget(simpleIconBox_, 6, 0, 1, 2);

    for (const char* name : kPairNames)
        pairList_->addItem(tr(name));
    pairList_->setSelectionMode(QAbstractItemView::SingleSelection);
    pairList_->setCurrentRow(0);
    pairList_->setMaximumWidth(pairList_->fontMetrics().averageCharWidth() * 16);
    auto* textButton = ChooseButton(this);
    auto* backButton = ChooseButton(this);
    auto* colors = new QGroupBox(tr("配色"), this);
    auto* colorGrid = new QGridLayout(colors);
    colorGrid->addWidget(pairList_, 0, 0, 5, 1);
    colorGrid->addWidget(Label(tr("文字色:"), textButton, colors), 0, 1);
    colorGrid->addWidget(textButton, 1, 1);
    colorGrid->addWidget(Label(tr("背景色:"), backButton, colors), 2, 1);
    colorGrid->addWidget(backButton, 3, 1);
    colorGrid->addWidget(sample_, 5, 0, 1, 2);

    filterAlwaysBox_->setChecked(settings.filterAlways != 0);
    auto* other = new QGroupBox(tr("その他"), this);
    auto* otherLayout = new QVBoxLayout(other);
    otherLayout->addWidget(filterAlwaysBox_);
    // Packing by bytes stays the default; images add their folders' records.
    fitImageBox_->setChecked(settings.fitImage != 0);
    otherLayout->addWidget(fitImageBox_);
    recordMd5Box_->setChecked(settings.recordMd5 != 0);
    otherLayout->addWidget(recordMd5Box_);

    auto* columns = new QHBoxLayout;
    columns->addWidget(display);
    columns->addWidget(colors);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(other);
    layout->addWidget(MakeOkCancelButtons(this));

    setTabOrder(fontButton, lineHeightEdit_);
    setTabOrder(lineHeightEdit_, unitBox_);
    setTabOrder(unitBox_, simpleIconBox_);
    setTabOrder(simpleIconBox_, pairList_);
    setTabOrder(pairList_, textButton);
    setTabOrder(textButton, backButton);
    setTabOrder(backButton, filterAlwaysBox_);
    setTabOrder(filterAlwaysBox_, fitImageBox_);
    setTabOrder(fitImageBox_, recordMd5Box_);
    faceEdit_->setFocusPolicy(Qt::ClickFocus);
    fontButton->setFocus();

    fontButton->setObjectName(QStringLiteral("chooseFont"));
    textButton->setObjectName(QStringLiteral("chooseText"));
    backButton->setObjectName(QStringLiteral("chooseBack"));
    lineHeightEdit_->setObjectName(QStringLiteral("lineHeight"));
    unitBox_->setObjectName(QStringLiteral("sizeUnit"));
    simpleIconBox_->setObjectName(QStringLiteral("simpleIcon"));
    filterAlwaysBox_->setObjectName(QStringLiteral("filterAlways"));
    fitImageBox_->setObjectName(QStringLiteral("fitImage"));
    recordMd5Box_->setObjectName(QStringLiteral("recordMd5"));
    pairList_->setObjectName(QStringLiteral("colorPairs"));
    faceEdit_->setObjectName(QStringLiteral("face"));
    sample_->setObjectName(QStringLiteral("sample"));

    connect(fontButton, &QPushButton::clicked, this, &COptionDlg::OnChooseFont);
    connect(textButton, &QPushButton::clicked, this, [this] { OnChooseColor(false); });
    connect(backButton, &QPushButton::clicked, this, [this] { OnChooseColor(true); });
    connect(pairList_, &QListWidget::itemSelectionChanged, this, &COptionDlg::ShowSample);
    ShowSample();
}

// The face the list is drawn in. The stored one stays stored when it is not
// installed here (the profile may come from another machine), so the field
// says which face stands in for it.
void COptionDlg::ShowFace() {
    const QString stored = QString::fromStdU16String(settings_.fontFace);
    const QString used = QFontInfo(font_).family();
    faceEdit_->setText(used.compare(stored, Qt::CaseInsensitive) == 0
                           ? stored
                           : tr("%1（%2 の代わり）").arg(used, stored));
    faceEdit_->setCursorPosition(0);
    faceEdit_->setMinimumWidth(faceEdit_->fontMetrics().horizontalAdvance(faceEdit_->text()) + 12);
}

void COptionDlg::ShowSample() {
    const QList<QListWidgetItem*> selected = pairList_->selectedItems();
    const size_t pair =
        selected.isEmpty() ? 0 : static_cast<size_t>(pairList_->row(selected.first()));
    sample_->Show(font_, ColorFromStored(PairColor(settings_, pair, false)),
                  ColorFromStored(PairColor(settings_, pair, true)));
}

void COptionDlg::OnChooseFont() {
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, font_, this);
    if (!ok) return;
    // The list has room for sizes up to 30 points.
    if (chosen.pointSizeF() > kMaxFontPoints) chosen.setPointSizeF(kMaxFontPoints);
    DisplaySettings stored = settings_;
    StoreListFont(chosen, stored);
    settings_.fontFace = stored.fontFace;
    settings_.fontSize = stored.fontSize;
    font_ = MakeListFont(settings_);
    ShowFace();
    ShowSample();
}

void COptionDlg::OnChooseColor(bool background) {
    const QList<QListWidgetItem*> selected = pairList_->selectedItems();
    if (selected.isEmpty()) {
        ShowDialogMessage(this, QMessageBox::Information, QStringLiteral("INFORMATION"),
                          tr("リストから変更したい項目を選んでください。"));
        return;
    }
    uint32_t& stored =
        PairColor(settings_, static_cast<size_t>(pairList_->row(selected.first())), background);
    const QColor chosen = QColorDialog::getColor(ColorFromStored(stored), this);
    if (!chosen.isValid()) return;
    stored = StoredFromColor(chosen);
    ShowSample();
}

void COptionDlg::accept() {
    int32_t lineHeight = 0;
    if (!ParseLineHeight(lineHeightEdit_->text().toStdU16String(), lineHeight)) {
        ShowDialogMessage(this, QMessageBox::Warning, QStringLiteral("Corvelin"),
                          tr("0 から 10 までの整数を入力してください。"));
        lineHeightEdit_->setFocus();
        lineHeightEdit_->selectAll();
        return;
    }
    settings_.lineHeight = lineHeight;
    settings_.dispSizeUnit = unitBox_->currentIndex();
    settings_.simpleIcon = simpleIconBox_->isChecked() ? 1 : 0;
    settings_.filterAlways = filterAlwaysBox_->isChecked() ? 1 : 0;
    settings_.fitImage = fitImageBox_->isChecked() ? 1 : 0;
    settings_.recordMd5 = recordMd5Box_->isChecked() ? 1 : 0;
    QDialog::accept();
}
