// The main frame's catalog commands: the catalog window, the drop option
// that leaves archived files out, and recording a plan.
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStatusBar>

#include "catalog/ArchivedFiles.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogLocation.h"
#include "catalog/SetRecord.h"
#include "disc/DiscSetBuilder.h"
#include "packing/CorvelinDoc.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/TextCodec.h"
#include "ui/CatalogDlg.h"
#include "ui/CorvelinView.h"
#include "ui/MainFrame.h"

#include <ctime>

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdU16String(zel::Utf8ToUtf16(text));
}

// The check a drop runs, with the discs its report names. The catalog is read
// on the scan's thread, so a large one never holds up the window.
struct DropArchiveCheck : IArchiveCheck {
    std::string catalogPath;
    std::vector<std::string> roots;
    catalog::ArchivedFiles files;
    std::vector<catalog::CatalogDiscInfo> discs;
    std::string error;   // UTF-8: the catalog could not be read
    std::string notice;  // UTF-8: from opening the catalog
    bool loaded = false;

    void Prepare() override {
        catalog::Catalog catalog;
        if (!catalog.Open(catalogPath) || !files.Load(catalog, roots, error)) {
            if (error.empty()) error = catalog.Error();
            return;
        }
        notice = catalog.Notice();
        discs = catalog.Discs();
        loaded = true;
    }
    ArchiveVerdict Check(std::string_view path, uint64_t size, int64_t mtimeNs) override {
        return loaded ? files.Check(path, size, mtimeNs) : ArchiveVerdict::New;
    }
};

}  // namespace

std::string CMainFrame::CatalogFile() const {
    return catalog::CatalogPath(sys_.GetConfigurationFolder(),
                                sys_.GetLocationFolder(ZelConfiguration::AppData));
}

void CMainFrame::SetUpCatalog() {
    skipArchived_ = Command("skipArchived");
    skipArchived_->setCheckable(true);
    skipArchived_->setChecked(settings_.general.skipArchived != 0);
    // Kept in the profile like the other options, and merged at exit.
    connect(skipArchived_, &QAction::toggled, this,
            [this](bool on) { settings_.general.skipArchived = on ? 1 : 0; });

    view_->SetArchiveCheck(
        [this](const std::vector<std::string>& paths) -> std::shared_ptr<IArchiveCheck> {
            if (!skipArchived_->isChecked()) return nullptr;
            auto check = std::make_shared<DropArchiveCheck>();
            check->catalogPath = CatalogFile();
            check->roots = paths;
            return check;
        },
        [this](IArchiveCheck& done) {
            auto& check = static_cast<DropArchiveCheck&>(done);
            if (!check.error.empty()) {
                QMessageBox::critical(
                    this, QStringLiteral("ERROR"),
                    FromUtf8(check.error) +
                        tr("\nアーカイブ済みのファイルを除外せずに取り込みました。"));
                return;
            }
            if (!check.notice.empty()) {
                QMessageBox::information(this, QStringLiteral("Corvelin"), FromUtf8(check.notice));
            }
            const std::string report = catalog::DescribeArchived(check.files, check.discs);
            if (!report.empty()) {
                QMessageBox::information(this, QStringLiteral("Corvelin"), FromUtf8(report));
            }
        });
}

void CMainFrame::OnCatalog() {
    if (!catalogDlg_) {
        catalogDlg_ = new CCatalogDlg(CatalogFile(), settings_.general.dispSizeUnit, this);
        catalogDlg_->setAttribute(Qt::WA_DeleteOnClose);
        connect(catalogDlg_, &QObject::destroyed, this, [this] { catalogDlg_ = nullptr; });
    }
    catalogDlg_->show();
    catalogDlg_->raise();
    catalogDlg_->activateWindow();
}

void CMainFrame::OnRecordPlan() {
    DiscSetHeader header;
    header.now = static_cast<int64_t>(std::time(nullptr));
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, tr("計画をカタログに記録する"), tr("セットの名前:"), QLineEdit::Normal,
        QString::fromStdU16String(DefaultSetName(doc_.root, header.now)), &ok);
    if (!ok) return;
    header.name = name.trimmed().isEmpty() ? DefaultSetName(doc_.root, header.now)
                                           : name.trimmed().toStdU16String();
    header.medium = GetPackSizeText().toStdU16String();
    header.packSize = doc_.packSize;
    header.capacity = doc_.mediumCapacity != 0 ? doc_.mediumCapacity : doc_.packSize;
    header.target = u"plan";
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DiscSet set = BuildDiscSet(doc_.root, doc_.packs, header);
    std::string message;
    const bool recorded = catalog::RecordSet(CatalogFile(), set, message);
    QApplication::restoreOverrideCursor();
    if (!recorded) {
        QMessageBox::critical(this, QStringLiteral("ERROR"), FromUtf8(message));
        return;
    }
    if (!message.empty())
        QMessageBox::information(this, QStringLiteral("Corvelin"), FromUtf8(message));
    statusBar()->showMessage(tr("カタログに記録しました: %1 (%2 ファイル)")
                                 .arg(QString::fromStdU16String(header.name))
                                 .arg(set.files.size()));
}
