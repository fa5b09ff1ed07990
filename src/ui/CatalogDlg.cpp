#include "ui/CatalogDlg.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "catalog/SetSource.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

QTableWidget* MakeTable(const QStringList& headers, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void SetRow(QTableWidget* table, int row, const std::vector<std::u16string>& texts) {
    for (size_t column = 0; column < texts.size(); ++column) {
        table->setItem(row, static_cast<int>(column), new QTableWidgetItem(Q(texts[column])));
    }
}

// The bytes of a path percent-encoded into a file: URL, so a name that is not
// UTF-8 still names its folder.
QUrl FileUrl(const std::string& path) {
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

}  // namespace

CCatalogDlg::CCatalogDlg(const std::string& path, int sizeUnit, QWidget* parent)
    : QDialog(parent), sizeUnit_(sizeUnit) {
    setWindowTitle(tr("カタログ"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs);

    auto* searchPage = new QWidget(tabs);
    auto* searchLayout = new QVBoxLayout(searchPage);
    search_ = new QLineEdit(searchPage);
    search_->setPlaceholderText(tr("ファイル名またはパスの一部を入力してください"));
    search_->setClearButtonEnabled(true);
    searchLayout->addWidget(search_);
    results_ = MakeTable({tr("ファイル"), tr("ディスク"), tr("セット"), tr("日付")}, searchPage);
    searchLayout->addWidget(results_);
    results_->setColumnWidth(0, 440);
    auto* resultButtons = new QHBoxLayout();
    count_ = new QLabel(searchPage);
    resultButtons->addWidget(count_, 1);
    openFolder_ = new QPushButton(tr("フォルダを開く(&O)"), searchPage);
    copyPath_ = new QPushButton(tr("パスをコピー(&C)"), searchPage);
    resultButtons->addWidget(openFolder_);
    resultButtons->addWidget(copyPath_);
    searchLayout->addLayout(resultButtons);
    tabs->addTab(searchPage, tr("検索"));

    auto* setPage = new QWidget(tabs);
    auto* setLayout = new QVBoxLayout(setPage);
    sets_ = MakeTable({tr("セット"), tr("ディスク"), tr("ファイル数"), tr("サイズ"), tr("作成日")},
                      setPage);
    setLayout->addWidget(sets_);
    sets_->setColumnWidth(0, 260);
    auto* setButtons = new QHBoxLayout();
    auto* addFile = new QPushButton(tr("ファイル・イメージから追加(&F)..."), setPage);
    auto* addFolder = new QPushButton(tr("ディスクから追加(&D)..."), setPage);
    rename_ = new QPushButton(tr("名前の変更(&R)..."), setPage);
    remove_ = new QPushButton(tr("削除(&X)"), setPage);
    setButtons->addWidget(addFile);
    setButtons->addWidget(addFolder);
    setButtons->addStretch(1);
    setButtons->addWidget(rename_);
    setButtons->addWidget(remove_);
    setLayout->addLayout(setButtons);
    tabs->addTab(setPage, tr("セットの管理"));

    auto* close = new QPushButton(tr("閉じる"), this);
    auto* bottom = new QHBoxLayout();
    bottom->addStretch(1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    resize(820, 480);

    // A search per keystroke would queue up behind fast typing: wait for a pause.
    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(120);
    connect(typing_, &QTimer::timeout, this, &CCatalogDlg::Search);
    connect(search_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    connect(results_, &QTableWidget::cellDoubleClicked, this, &CCatalogDlg::OpenFolder);
    connect(openFolder_, &QPushButton::clicked, this, &CCatalogDlg::OpenFolder);
    connect(copyPath_, &QPushButton::clicked, this, &CCatalogDlg::CopyPath);
    connect(results_, &QTableWidget::itemSelectionChanged, this, [this] {
        const bool any = results_->currentRow() >= 0 && !results_->selectedItems().isEmpty();
        openFolder_->setEnabled(any);
        copyPath_->setEnabled(any);
    });
    connect(sets_, &QTableWidget::itemSelectionChanged, this, [this] {
        const bool any = !SelectedSetId().empty();
        rename_->setEnabled(any);
        remove_->setEnabled(any);
    });
    connect(addFile, &QPushButton::clicked, this, [this] { AddSet(false); });
    connect(addFolder, &QPushButton::clicked, this, [this] { AddSet(true); });
    connect(rename_, &QPushButton::clicked, this, &CCatalogDlg::RenameSet);
    connect(remove_, &QPushButton::clicked, this, &CCatalogDlg::RemoveSet);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    for (QPushButton* button : {openFolder_, copyPath_, rename_, remove_})
        button->setEnabled(false);

    usable_ = catalog_.Open(path);
    if (!usable_) {
        search_->setEnabled(false);
        addFile->setEnabled(false);
        addFolder->setEnabled(false);
        count_->setText(Q(zel::Utf8ToUtf16(catalog_.Error())));
        return;
    }
    rows_ = std::make_unique<catalog::CatalogRows>(catalog_);
    // The result comes on the search's thread; it is shown on this one, unless
    // a newer keystroke has made it stale by then.
    searches_ = std::make_unique<catalog::CatalogSearchWorker>(
        path, [this](catalog::CatalogSearchWorker::Result&& result) {
            QMetaObject::invokeMethod(
                this,
                [this, result = std::make_shared<catalog::CatalogSearchWorker::Result>(
                           std::move(result))] { ShowResult(*result); },
                Qt::QueuedConnection);
        });
    search_->setFocus();
    if (!catalog_.Notice().empty()) {
        QTimer::singleShot(0, this, [this] {
            QMessageBox::information(this, QStringLiteral("Corvelin"),
                                     Q(zel::Utf8ToUtf16(catalog_.Notice())));
        });
    }
    FillSets();
}

CCatalogDlg::~CCatalogDlg() {
    // Waits for a running search, whose result then goes nowhere.
    searches_.reset();
}

void CCatalogDlg::SearchNow(const QString& text) {
    search_->setText(text);
    typing_->stop();
    Search();
}

void CCatalogDlg::Search() {
    if (!usable_) return;
    const std::string text = zel::EncodeFileName(search_->text().toStdU16String());
    // Also an empty text, which stops the search before it.
    (void)searches_->Search(text);
    searching_ = !text.empty();
    if (text.empty()) {
        found_.clear();
        results_->clearContents();
        results_->setRowCount(0);
        count_->clear();
    } else {
        count_->setText(tr("検索しています..."));
    }
}

void CCatalogDlg::ShowResult(catalog::CatalogSearchWorker::Result& result) {
    if (!searches_->Current(result.ticket) || !searching_) return;
    searching_ = false;
    if (!result.error.empty()) {
        count_->clear();
        ShowError(tr("カタログを読めませんでした: ") + Q(zel::Utf8ToUtf16(result.error)));
        return;
    }
    found_ = std::move(result.rows);
    results_->setUpdatesEnabled(false);
    results_->clearContents();
    results_->setRowCount(static_cast<int>(found_.size()));
    for (size_t i = 0; i < found_.size(); ++i) {
        const catalog::CatalogResultRow& row = found_[i];
        SetRow(results_, static_cast<int>(i), {row.file, row.disc, row.set, row.date});
    }
    results_->setUpdatesEnabled(true);
    if (result.more) {
        count_->setText(tr("最初の %1 件を表示しています").arg(found_.size()));
    } else {
        count_->setText(tr("%1 件").arg(found_.size()));
    }
}

void CCatalogDlg::FillSets() {
    const std::vector<catalog::CatalogSetRow> rows = rows_->Sets(sizeUnit_);
    sets_->clearContents();
    sets_->setRowCount(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const catalog::CatalogSetRow& row = rows[i];
        SetRow(sets_, static_cast<int>(i), {row.name, row.discs, row.files, row.size, row.date});
        // Counts and sizes line up by their last digit, as in the main list.
        for (int column = 1; column <= 3; ++column) {
            sets_->item(static_cast<int>(i), column)
                ->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        sets_->item(static_cast<int>(i), 0)->setData(Qt::UserRole, QString::fromStdString(row.id));
    }
}

void CCatalogDlg::OpenFolder() {
    const int row = results_->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= found_.size()) return;
    const std::string& path = found_[static_cast<size_t>(row)].diskPath;
    const size_t slash = path.rfind('/');
    QDesktopServices::openUrl(FileUrl(slash == 0 ? "/" : path.substr(0, slash)));
}

void CCatalogDlg::CopyPath() {
    const int row = results_->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= found_.size()) return;
    QGuiApplication::clipboard()->setText(Q(found_[static_cast<size_t>(row)].file));
}

std::string CCatalogDlg::SelectedSetId() const {
    const int row = sets_->currentRow();
    if (row < 0 || sets_->selectedItems().isEmpty() || !sets_->item(row, 0)) return std::string();
    return sets_->item(row, 0)->data(Qt::UserRole).toString().toStdString();
}

void CCatalogDlg::AddSet(bool folder) {
    const QString chosen =
        folder
            ? QFileDialog::getExistingDirectory(
                  this, tr("ディスク、イメージまたは書き込んだフォルダを選択"))
            : QFileDialog::getOpenFileName(
                  this, tr("セット ファイル、インデックスまたはイメージを選択"), QString(),
                  tr("セット・インデックス・イメージ (*.cvset INDEX.TSV *.iso *.img);;すべて (*)"));
    if (chosen.isEmpty()) return;
    DiscSet set;
    std::string message;
    const std::string path = zel::EncodeFileName(chosen.toStdU16String());
    if (!catalog::ReadSetSource(zel::IFileSystem::Default(), path, set, message) ||
        !catalog_.Record(set)) {
        ShowError(Q(zel::Utf8ToUtf16(message.empty() ? catalog_.Error() : message)));
        return;
    }
    rows_->Refresh();
    searches_->Refresh();
    FillSets();
}

void CCatalogDlg::RenameSet() {
    const std::string id = SelectedSetId();
    if (id.empty()) return;
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, tr("名前の変更"), tr("セットの新しい名前:"), QLineEdit::Normal,
                              sets_->item(sets_->currentRow(), 0)->text(), &ok);
    if (!ok || name.trimmed().isEmpty()) return;
    if (!catalog_.RenameSet(id, name.toStdU16String())) {
        ShowError(Q(zel::Utf8ToUtf16(catalog_.Error())));
        return;
    }
    rows_->Refresh();
    searches_->Refresh();
    FillSets();
}

void CCatalogDlg::RemoveSet() {
    const std::string id = SelectedSetId();
    if (id.empty()) return;
    const QString name = sets_->item(sets_->currentRow(), 0)->text();
    if (QMessageBox::question(
            this, QStringLiteral("Corvelin"),
            tr("セット「%1」をカタログから削除しますか?\nディスクの内容は変わりません。")
                .arg(name)) != QMessageBox::Yes) {
        return;
    }
    if (!catalog_.RemoveSet(id)) {
        ShowError(Q(zel::Utf8ToUtf16(catalog_.Error())));
        return;
    }
    rows_->Refresh();
    searches_->Refresh();
    FillSets();
    Search();
}

void CCatalogDlg::ShowError(const QString& text) {
    QMessageBox::critical(this, QStringLiteral("ERROR"), text);
}
