// The list view's drops from file managers and the drag of a pack out of it.

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>

#include <boost/make_shared.hpp>

#include "intake/AutoGroupProposal.h"
#include "intake/ImportSettingsFile.h"
#include "intake/NothingImported.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/FileSystem.h"
#include "ui/AddFilesDlg.h"
#include "ui/AutoGroupDlg.h"
#include "ui/CorvelinView.h"
#include "ui/SkippedEntriesDlg.h"
#include "ui/UriList.h"
#include "ui/settings/AutoGroupConfirmDlg.h"
#include "ui/settings/ImportSettingsDlg.h"
#include "view/PackDropData.h"
#include "view/PackListView.h"

namespace {

const QString kUriListType = QStringLiteral("text/uri-list");

}  // namespace

void CCorvelinView::SetPresetSaver(std::function<bool(std::string& message)> savePresets) {
    savePresets_ = std::move(savePresets);
}

bool CCorvelinView::ChooseImportSettings() {
    CImportSettingsEditor::SavePresets save = savePresets_;
    if (!save) {
        // Without the application's saver: the presets file of the
        // configuration folder; without one the save fails and says so.
        save = [this](std::string& message) {
            const std::string folder = sys_.GetConfigurationFolder();
            return SaveImportSettings(fs_, folder, sys_.presets, message);
        };
    }
    CImportSettingsDlg dialog(sys_.presets, currentImport_, std::move(save), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    currentImport_ = dialog.Working();
    return true;
}

void CCorvelinView::ConfirmAutoGroups(const CPackFolderPtr& scanned) {
    AutoGroupTablePtr table;
    {
        PaintSuspension suspension(*this);
        CAutoGroupDlg search(scanned, this);
        if (search.exec() != QDialog::Accepted) return;
        table = search.GetTable();
    }
    if (!table || table->empty()) return;
    CAutoGroupConfirmDlg dialog(*table, this);
    if (dialog.exec() != QDialog::Accepted) {
        ApplyAutoGroups(doc_, *scanned, *table, [](size_t, size_t) { return false; });
        return;
    }
    ApplyAutoGroups(doc_, *scanned, *table,
                    [&dialog](size_t group, size_t member) { return dialog.Keeps(group, member); });
}

void CCorvelinView::ShowSkipped(const SkippedEntryList& skipped) {
    if (skipped.empty()) return;
    CSkippedEntriesDlg dialog(skipped, this);
    dialog.exec();
}

void CCorvelinView::DropPaths(const std::vector<std::string>& paths, bool showImportSettings) {
    if (settings_.general.filterAlways != 0 || showImportSettings) {
        if (!ChooseImportSettings()) return;
    } else {
        currentImport_ = defaultImport_;
    }
    if (paths.empty()) return;

    bool accepted = false;
    CPackFolderPtr result;
    SkippedEntryList skipped;
    const std::shared_ptr<IArchiveCheck> archive =
        makeArchiveCheck_ ? makeArchiveCheck_(paths) : nullptr;
    uint64_t refused = 0;
    {
        PaintSuspension suspension(*this);
        CAddFilesDlg dialog(fs_, doc_, currentImport_, paths, this);
        // Folders are listed on as many threads as corvelin-cli uses.
        dialog.Worker().SetReadAhead(CAddFileWorker::DefaultReaders());
        if (archive) dialog.Worker().SetArchiveCheck(archive.get());
        accepted = dialog.exec() == QDialog::Accepted;
        result = dialog.Worker().GetResult();
        skipped = dialog.Worker().GetSkipped();
        refused = dialog.Worker().GetRefusedCount();
    }
    // A cancelled or failed scan changed nothing.
    if (!accepted) return;
    if (currentImport_->AutoGroup && result) ConfirmAutoGroups(result);
    list_->OnUpdate(kHintEditable);
    AfterListChange();
    if (!result || result->children.empty()) {
        QMessageBox box(
            QMessageBox::Information, QStringLiteral("Corvelin"),
            QString::fromStdU16String(DescribeNothingImported(refused, *currentImport_)),
            QMessageBox::Ok, this);
        box.exec();
    }
    ShowSkipped(skipped);
    if (archive && reportArchiveCheck_) reportArchiveCheck_(*archive);
}

void CCorvelinView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(kUriListType) &&
        !LocalPathsFromUriList(event->mimeData()->data(kUriListType)).empty()) {
        // Copy whatever the source offers: Shift means "move" to a file
        // manager, but here it asks for the import settings.
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void CCorvelinView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(kUriListType)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void CCorvelinView::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths = LocalPathsFromUriList(event->mimeData()->data(kUriListType));
    if (paths.empty()) {
        event->ignore();
        return;
    }
    const bool shift = (event->modifiers() & Qt::ShiftModifier) ||
                       (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The source waits until the drop returns: scan after it has.
    QMetaObject::invokeMethod(
        this, [this, paths = std::move(paths), shift] { DropPaths(paths, shift); },
        Qt::QueuedConnection);
}

std::optional<size_t> CCorvelinView::PackAtRow(int row) const {
    if (row < 0) return std::nullopt;
    return DragPackIndex(*list_, static_cast<size_t>(row));
}

std::unique_ptr<QMimeData> CCorvelinView::DragData(int row) const {
    if (row < 0) return nullptr;
    const std::optional<size_t> pack = DragPackIndex(*list_, static_cast<size_t>(row));
    if (!pack) return nullptr;
    const std::optional<std::string> list = MakePackDropData(doc_, *pack);
    if (!list) return nullptr;
    const QByteArray urls(list->data(), static_cast<qsizetype>(list->size()));
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kUriListType, urls);
    // Programs that take only text (editors, terminals) get the same URLs:
    // plain ASCII, so names that are not valid UTF-8 survive there too.
    mime->setData(QStringLiteral("text/plain"), urls);
    return mime;
}

void CCorvelinView::StartPackDrag(int row) {
    std::unique_ptr<QMimeData> mime = DragData(row);
    if (!mime) return;
    // Our own pack must not land back on the list as a new drop.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    // A drop target in another program asks for the data after exec() has
    // returned, and the platform answers from the drag object, which it
    // deletes itself once the drop is over: so the drag lives on the heap.
    auto* drag = new QDrag(this);
    drag->setMimeData(mime.release());
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}
