#include "ui/WriteDiscDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>
#include <future>

#include "catalog/SetRecorder.h"
#include "disc/DiscSetBuilder.h"
#include "disc/DiscVerifier.h"
#include "disc/SetFileStore.h"
#include "packing/CorvelinDoc.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace {

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

QString StateText(DiscPackState state) {
    switch (state) {
        case DiscPackState::Planned:
            return QString();
        case DiscPackState::Written:
            return CWriteDiscDlg::tr("（書き込み済み）");
        case DiscPackState::Verified:
            return CWriteDiscDlg::tr("（検証済み）");
        case DiscPackState::Failed:
            return CWriteDiscDlg::tr("（失敗）");
    }
    return QString();
}

QString PackText(uint32_t number, DiscPackState state) {
    return CWriteDiscDlg::tr("パック %1 %2").arg(number).arg(StateText(state));
}

}  // namespace

// Carries the writer's reports onto the window's thread; a question for the
// next medium waits there for the answer.
class CWriteDiscDlg::Host : public IDiscWriterHost {
public:
    explicit Host(CWriteDiscDlg* dialog) : dialog_(dialog) {}

    void Progress(const DiscProgress& progress) override {
        QMetaObject::invokeMethod(
            dialog_, [d = dialog_, progress] { d->ShowProgress(progress); }, Qt::QueuedConnection);
    }
    MediumAnswer AskForMedium(uint32_t pack, uint32_t count,
                              const std::u16string& problem) override {
        std::promise<MediumAnswer> answer;
        QMetaObject::invokeMethod(
            dialog_,
            [d = dialog_, &answer, pack, count, text = Q(problem)] {
                answer.set_value(d->AskForMedium(pack, count, text));
            },
            Qt::QueuedConnection);
        return answer.get_future().get();
    }
    MediumAnswer AskForFolder(uint32_t pack, uint32_t count, const std::u16string& problem,
                              std::string& folder) override {
        std::promise<MediumAnswer> answer;
        QString chosen;
        QMetaObject::invokeMethod(
            dialog_,
            [d = dialog_, &answer, &chosen, pack, count, text = Q(problem)] {
                answer.set_value(d->AskForFolder(pack, count, text, chosen));
            },
            Qt::QueuedConnection);
        const MediumAnswer result = answer.get_future().get();
        folder = zel::EncodeFileName(chosen.toStdU16String());
        return result;
    }
    void PackFinished(const DiscSetPack& pack) override {
        QMetaObject::invokeMethod(
            dialog_,
            [d = dialog_, number = pack.number, state = pack.state] {
                if (QListWidgetItem* item = d->packs_->item(static_cast<int>(number - 1)))
                    item->setText(PackText(number, state));
            },
            Qt::QueuedConnection);
    }

    // On the writer's thread, like the rest: the set once more in the catalog.
    void SetSaved(const DiscSet& set, uint32_t pack) override {
        if (!recorder) return;
        std::string message;
        recorder->PackSaved(set, pack, message);
        if (!message.empty()) catalogProblem = message;
    }

    std::unique_ptr<catalog::SetRecorder> recorder;  // set on the window's thread before a run
    std::string catalogProblem;                      // the writer's thread's until the run ends

private:
    CWriteDiscDlg* dialog_;
};

CWriteDiscDlg::CWriteDiscDlg(const CCorvelinDoc& doc, std::vector<uint32_t> chosenPacks,
                             const QString& medium, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      medium_(medium.toStdU16String()),
      host_(std::make_unique<Host>(this)) {
    setWindowTitle(tr("ディスクに書き込む"));
    form_.name = DefaultSetName(doc.root, static_cast<int64_t>(std::time(nullptr)));
    form_.drives = FindOpticalDrives();
    form_.chosen.assign(doc.packs.size(), chosenPacks.empty());
    for (uint32_t number : chosenPacks)
        if (number >= 1 && number <= form_.chosen.size()) form_.chosen[number - 1] = true;

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    name_ = new QLineEdit(Q(form_.name), this);
    fields->addRow(tr("セットの名前(&N):"), name_);
    target_ = new QComboBox(this);
    target_->addItem(tr("イメージファイル"));
    for (const std::string& drive : form_.drives)
        target_->addItem(tr("ドライブ %1").arg(QString::fromStdString(drive)));
    target_->addItem(tr("フォルダ（パックごとに選ぶ）"));
    fields->addRow(tr("書き込み先(&T):"), target_);
    auto* folderRow = new QHBoxLayout;
    folder_ = new QLineEdit(this);
    browse_ = new QPushButton(tr("参照(&B)..."), this);
    folderRow->addWidget(folder_);
    folderRow->addWidget(browse_);
    // A row holding a layout gets a label without a buddy, which would show
    // its mnemonic's ampersand: the label is made here.
    auto* folderLabel = new QLabel(tr("フォルダー(&F):"), this);
    folderLabel->setBuddy(folder_);
    fields->addRow(folderLabel, folderRow);
    packs_ = new QListWidget(this);
    fields->addRow(tr("パック(&P):"), packs_);
    layout->addLayout(fields);
    verify_ = new QCheckBox(tr("書き込んだ後に検証する(&V)"), this);
    verify_->setChecked(true);
    md5_ = new QCheckBox(tr("xorriso の MD5 も記録する(&M)"), this);
    layout->addWidget(verify_);
    layout->addWidget(md5_);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 1000);
    bar_->setValue(0);
    status_ = new QLabel(this);
    result_ = new QPlainTextEdit(this);
    result_->setReadOnly(true);
    result_->setMaximumBlockCount(2000);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    layout->addWidget(result_);
    auto* buttons = new QDialogButtonBox(this);
    openSet_ = buttons->addButton(tr("セットを開く(&O)..."), QDialogButtonBox::ActionRole);
    verifyNow_ = buttons->addButton(tr("検証(&E)..."), QDialogButtonBox::ActionRole);
    start_ = buttons->addButton(tr("開始(&S)"), QDialogButtonBox::AcceptRole);
    close_ = buttons->addButton(tr("閉じる"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    FillPacks();

    connect(start_, &QPushButton::clicked, this, &CWriteDiscDlg::Start);
    connect(close_, &QPushButton::clicked, this, &CWriteDiscDlg::reject);
    connect(openSet_, &QPushButton::clicked, this, &CWriteDiscDlg::OnOpenSet);
    connect(verifyNow_, &QPushButton::clicked, this, &CWriteDiscDlg::OnVerify);
    connect(browse_, &QPushButton::clicked, this, &CWriteDiscDlg::OnBrowse);
    connect(target_, &QComboBox::currentIndexChanged, this, [this] {
        folder_->setEnabled(FolderFieldUsed());
        browse_->setEnabled(FolderFieldUsed());
        md5_->setEnabled(!ToFolders());
    });
    resize(560, 520);
}

void CWriteDiscDlg::SetCatalogPath(const std::string& path) {
    host_->recorder = path.empty() ? nullptr : std::make_unique<catalog::SetRecorder>(path);
}

void CWriteDiscDlg::SetRecordMd5(bool on) {
    md5_->setChecked(on);
}

bool CWriteDiscDlg::RecordMd5() const {
    return md5_->isChecked();
}

CWriteDiscDlg::~CWriteDiscDlg() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

void CWriteDiscDlg::FillPacks() {
    packs_->clear();
    for (size_t i = 0; i < form_.chosen.size(); ++i) {
        const DiscPackState state = setLoaded_ ? set_.packs[i].state : DiscPackState::Planned;
        auto* item = new QListWidgetItem(PackText(static_cast<uint32_t>(i + 1), state));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(form_.chosen[i] ? Qt::Checked : Qt::Unchecked);
        packs_->addItem(item);
    }
}

void CWriteDiscDlg::ReadForm() {
    form_.name = name_->text().toStdU16String();
    form_.target = static_cast<size_t>(std::max(0, target_->currentIndex()));
    form_.folder = folder_->text().toStdU16String();
    for (int i = 0; i < packs_->count(); ++i)
        form_.chosen[static_cast<size_t>(i)] = packs_->item(i)->checkState() == Qt::Checked;
    form_.verify = verify_->isChecked();
    form_.md5 = md5_->isChecked();
}

bool CWriteDiscDlg::OpenSet(const std::string& path, QString& message) {
    DiscSet set;
    std::u16string error;
    if (!LoadSetFile(zel::IFileSystem::Default(), path, set, error)) {
        message = Q(error);
        return false;
    }
    set_ = std::move(set);
    setLoaded_ = true;
    setPath_ = path;
    name_->setText(Q(set_.name));
    name_->setEnabled(false);
    form_.chosen.assign(set_.packs.size(), true);
    FillPacks();
    return true;
}

void CWriteDiscDlg::OnOpenSet() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("セットを開く"), QString::fromStdString(SetsFolder()), tr("セット (*.cvset)"));
    if (path.isEmpty()) return;
    QString message;
    if (!OpenSet(zel::EncodeFileName(path.toStdU16String()), message))
        QMessageBox::critical(this, QStringLiteral("Corvelin"), message);
}

void CWriteDiscDlg::OnBrowse() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("イメージを書き込むフォルダー"), folder_->text());
    if (!folder.isEmpty()) folder_->setText(folder);
}

void CWriteDiscDlg::Start() {
    if (Running()) return;
    ReadForm();
    const std::u16string problem = form_.Problem();
    if (!problem.empty()) {
        status_->setText(Q(problem));
        return;
    }
    const DiscWriteOptions options = form_.Options();
    if (!options.toDrive && !options.toFolders)
        zel::IFileSystem::Default().MakeFolder(options.folder, 0755);
    SetBusy(true);
    const bool fresh = !setLoaded_;
    DiscSetHeader header;
    header.name = form_.name;
    header.now = static_cast<int64_t>(std::time(nullptr));
    header.packSize = doc_.packSize;
    header.capacity = doc_.mediumCapacity != 0 ? doc_.mediumCapacity : doc_.packSize;
    header.medium = medium_;
    header.target = options.toDrive ? u"disc" : options.toFolders ? u"folder" : u"image";
    worker_ = std::thread([this, options, fresh, header] {
        // Checking every file of a large plan takes a while: off the window's thread.
        if (fresh) {
            set_ = BuildDiscSet(doc_.root, doc_.packs, header);
            setPath_ = SetFilePath(set_);
        }
        CDiscSetWriter writer(set_, setPath_, zel::IFileSystem::Default());
        host_->catalogProblem.clear();
        const CDiscSetWriter::Outcome outcome = writer.Run(options, *host_, cancel_);
        QString message = Q(writer.Message());
        // Writing is done whatever the catalog said: the problem is only told.
        if (!host_->catalogProblem.empty()) {
            if (!message.isEmpty()) message += QStringLiteral("\n");
            message += Q(zel::Utf8ToUtf16(host_->catalogProblem));
        }
        QMetaObject::invokeMethod(
            this, [this, outcome, message] { OnFinished(outcome, message); }, Qt::QueuedConnection);
    });
}

void CWriteDiscDlg::ShowProgress(const DiscProgress& progress) {
    status_->setText(Q(DescribeDiscProgress(progress)));
    bar_->setValue(progress.total > 0
                       ? static_cast<int>(1000.0 * static_cast<double>(progress.done) /
                                          static_cast<double>(progress.total))
                       : 0);
}

void CWriteDiscDlg::OnFinished(CDiscSetWriter::Outcome outcome, const QString& message) {
    worker_.join();
    setLoaded_ = true;
    QString text;
    switch (outcome) {
        case CDiscSetWriter::Outcome::Done:
            text = tr("書き込みが終わりました。");
            break;
        case CDiscSetWriter::Outcome::Cancelled:
            text = tr("中止しました。");
            break;
        case CDiscSetWriter::Outcome::Stopped:
            text = tr("途中でやめました。「セットを開く」で続きを書き込めます。");
            break;
        case CDiscSetWriter::Outcome::SomeFailed:
        case CDiscSetWriter::Outcome::SetFileFailed:
            text = QString();
            break;
    }
    if (!message.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + message;
    text += QStringLiteral("\n") + tr("セットファイル: ") + Q(zel::DecodeFileName(setPath_));
    result_->setPlainText(text);
    status_->clear();
    bar_->setValue(outcome == CDiscSetWriter::Outcome::Done ? 1000 : bar_->value());
    SetBusy(false);
    emit finished(static_cast<int>(outcome));
}

void CWriteDiscDlg::SetBusy(bool busy) {
    for (QWidget* w : std::initializer_list<QWidget*>{target_, packs_, verify_, md5_, start_,
                                                      openSet_, verifyNow_})
        w->setEnabled(!busy);
    // A set once begun keeps its name.
    name_->setEnabled(!busy && !setLoaded_);
    folder_->setEnabled(!busy && FolderFieldUsed());
    browse_->setEnabled(!busy && FolderFieldUsed());
    // xorriso's MD5 records live inside an image; a folder has none.
    md5_->setEnabled(!busy && !ToFolders());
    close_->setText(busy ? tr("中止") : tr("閉じる"));
    if (busy) {
        result_->clear();
        cancel_ = false;
    }
}

void CWriteDiscDlg::OnVerify() {
    ReadForm();
    if (form_.ToFolders()) {
        const QString folder =
            QFileDialog::getExistingDirectory(this, tr("検証するフォルダー"), folder_->text());
        if (!folder.isEmpty()) Verify(zel::EncodeFileName(folder.toStdU16String()));
        return;
    }
    if (!form_.ToImages()) {
        Verify(form_.drives[form_.target - 1]);
        return;
    }
    const QString path = QFileDialog::getOpenFileName(this, tr("検証するイメージ"), folder_->text(),
                                                      tr("イメージ (*.iso);;すべてのファイル (*)"));
    if (!path.isEmpty()) Verify(zel::EncodeFileName(path.toStdU16String()));
}

void CWriteDiscDlg::Verify(const std::string& path) {
    if (Running()) return;
    SetBusy(true);
    worker_ = std::thread([this, path] {
        const VerifyResult result =
            VerifyMedium(path, &cancel_, [this](const DiscProgress& p) { host_->Progress(p); });
        const QString text =
            Q(zel::DecodeFileName(path)) + QStringLiteral("\n") + Q(DescribeVerifyResult(result));
        const int outcome = static_cast<int>(result.outcome);
        QMetaObject::invokeMethod(
            this,
            [this, text, outcome] {
                worker_.join();
                result_->setPlainText(text);
                status_->clear();
                SetBusy(false);
                emit verified(outcome);
            },
            Qt::QueuedConnection);
    });
}

MediumAnswer CWriteDiscDlg::AskForMedium(uint32_t pack, uint32_t count, const QString& problem) {
    QMessageBox box(QMessageBox::Information, tr("ディスクに書き込む"),
                    Q(MediumPrompt(pack, count, problem.toStdU16String())), QMessageBox::NoButton,
                    this);
    QPushButton* go = box.addButton(tr("書き込む"), QMessageBox::AcceptRole);
    QPushButton* skip = box.addButton(tr("飛ばす"), QMessageBox::ActionRole);
    QPushButton* redo = box.addButton(tr("前のパックをやり直す"), QMessageBox::ActionRole);
    QPushButton* stop = box.addButton(tr("やめる"), QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == go) return MediumAnswer::Go;
    if (box.clickedButton() == skip) return MediumAnswer::Skip;
    if (box.clickedButton() == redo) return MediumAnswer::Redo;
    (void)stop;
    return MediumAnswer::Stop;
}

MediumAnswer CWriteDiscDlg::AskForFolder(uint32_t pack, uint32_t count, const QString& problem,
                                         QString& folder) {
    for (;;) {
        QMessageBox box(QMessageBox::Information, tr("フォルダにコピーする"),
                        Q(FolderPrompt(pack, count, problem.toStdU16String())),
                        QMessageBox::NoButton, this);
        QPushButton* go = box.addButton(tr("フォルダーを選ぶ..."), QMessageBox::AcceptRole);
        QPushButton* skip = box.addButton(tr("飛ばす"), QMessageBox::ActionRole);
        QPushButton* redo = box.addButton(tr("前のパックをやり直す"), QMessageBox::ActionRole);
        box.addButton(tr("やめる"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() == skip) return MediumAnswer::Skip;
        if (box.clickedButton() == redo) return MediumAnswer::Redo;
        if (box.clickedButton() != go) return MediumAnswer::Stop;
        folder = QFileDialog::getExistingDirectory(
            this, tr("パック %1 / %2 のコピー先").arg(pack).arg(count));
        if (!folder.isEmpty()) return MediumAnswer::Go;
    }
}

bool CWriteDiscDlg::FolderFieldUsed() const {
    return target_->currentIndex() == 0;
}

bool CWriteDiscDlg::ToFolders() const {
    return target_->currentIndex() == target_->count() - 1;
}

void CWriteDiscDlg::reject() {
    // While writing, the button cancels the current pack; the window stays
    // until the writer has ended it cleanly.
    if (Running()) {
        cancel_ = true;
        status_->setText(tr("中止しています..."));
        return;
    }
    QDialog::reject();
}
