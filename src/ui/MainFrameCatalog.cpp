// The main frame's catalog commands: the catalog window and the drop option
// that leaves archived files out.
#include <QAction>
#include <QMenu>
#include <QMessageBox>

#include "catalog/ArchivedFiles.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogLocation.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/TextCodec.h"
#include "ui/CatalogDlg.h"
#include "ui/CorvelinView.h"
#include "ui/MainFrame.h"

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdU16String(zel::Utf8ToUtf16(text));
}

// The check a drop runs, with the discs its report names.
struct DropArchiveCheck : IArchiveCheck {
    catalog::ArchivedFiles files;
    std::vector<catalog::CatalogDiscInfo> discs;
    ArchiveVerdict Check(std::string_view path, uint64_t size, int64_t mtimeNs) override {
        return files.Check(path, size, mtimeNs);
    }
};

}  // namespace

std::string CMainFrame::CatalogFile() const {
    return catalog::CatalogPath(sys_.GetConfigurationFolder(),
                                sys_.GetLocationFolder(ZelConfiguration::AppData));
}

void CMainFrame::SetUpCatalog(QMenu* tools) {
    tools->addSeparator();
    catalogWindow_ = tools->addAction(tr("カタログ(&C)..."));
    catalogWindow_->setObjectName(QStringLiteral("catalog"));
    catalogWindow_->setStatusTip(tr("書き込んだディスクのファイルを検索します"));
    skipArchived_ = tools->addAction(tr("アーカイブ済みのファイルを除外(&S)"));
    skipArchived_->setObjectName(QStringLiteral("skipArchived"));
    skipArchived_->setCheckable(true);
    skipArchived_->setStatusTip(
        tr("カタログにある同じパス・サイズ・更新日時のファイルをドロップで取り込みません"));

    connect(catalogWindow_, &QAction::triggered, this, [this] {
        if (!catalogDlg_) {
            catalogDlg_ = new CCatalogDlg(CatalogFile(), settings_.general.dispSizeUnit, this);
            catalogDlg_->setAttribute(Qt::WA_DeleteOnClose);
            connect(catalogDlg_, &QObject::destroyed, this, [this] { catalogDlg_ = nullptr; });
        }
        catalogDlg_->show();
        catalogDlg_->raise();
        catalogDlg_->activateWindow();
    });

    view_->SetArchiveCheck(
        [this](const std::vector<std::string>& paths) -> std::shared_ptr<IArchiveCheck> {
            if (!skipArchived_->isChecked()) return nullptr;
            catalog::Catalog catalog;
            auto check = std::make_shared<DropArchiveCheck>();
            std::string error;
            if (!catalog.Open(CatalogFile()) || !check->files.Load(catalog, paths, error)) {
                QMessageBox::critical(
                    this, QStringLiteral("ERROR"),
                    FromUtf8(error.empty() ? catalog.Error() : error) +
                        tr("\nアーカイブ済みのファイルを除外せずに取り込みます。"));
                return nullptr;
            }
            if (!catalog.Notice().empty()) {
                QMessageBox::information(this, QStringLiteral("Corvelin"),
                                         FromUtf8(catalog.Notice()));
            }
            check->discs = catalog.Discs();
            return check;
        },
        [this](IArchiveCheck& done) {
            auto& check = static_cast<DropArchiveCheck&>(done);
            const std::string report = catalog::DescribeArchived(check.files, check.discs);
            if (!report.empty()) {
                QMessageBox::information(this, QStringLiteral("Corvelin"), FromUtf8(report));
            }
        });
}
