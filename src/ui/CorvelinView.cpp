#include "ui/CorvelinView.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <boost/make_shared.hpp>

#include <algorithm>

#include "intake/AddFileWorker.h"
#include "intake/AutoGroupConfirmation.h"
#include "intake/AutoGroupTraverser.h"
#include "intake/GroupCollector.h"
#include "intake/ImportSettingsFile.h"
#include "packing/CorvelinDoc.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/PosixFileSystem.h"
#include "ui/AddFilesDlg.h"
#include "ui/AssignGroup.h"
#include "ui/IconList.h"
#include "ui/ListDelegate.h"
#include "ui/ListFont.h"
#include "ui/ListModel.h"
#include "ui/PackRunDlg.h"
#include "ui/SkippedEntriesDlg.h"
#include "ui/UriList.h"
#include "ui/settings/AutoGroupConfirmDlg.h"
#include "ui/settings/ImportSettingsDlg.h"
#include "view/DeleteCommand.h"
#include "view/GroupingCommands.h"
#include "view/ListRows.h"
#include "view/PackDropData.h"
#include "view/PackListView.h"
#include "view/RowSelection.h"
#include "view/RunCommand.h"

namespace {

const QString kUriListType = QStringLiteral("text/uri-list");

QString ApplicationName() {
    return QStringLiteral("Corvelin");
}

}  // namespace

// While a worker dialog runs, the rows may point at records the worker
// rewrites; modal loops still deliver paint events, so the list shows nothing
// new until the caller has rebuilt its rows.
class CCorvelinView::PaintSuspension {
public:
    explicit PaintSuspension(CCorvelinView& view) : view_(view) {
        view_.paintSuspended_ = true;
        view_.model_->SetSuspended(true);
        view_.viewport()->setUpdatesEnabled(false);
    }
    ~PaintSuspension() {
        view_.paintSuspended_ = false;
        view_.model_->SetSuspended(false);
        view_.viewport()->setUpdatesEnabled(true);
    }
    PaintSuspension(const PaintSuspension&) = delete;
    PaintSuspension& operator=(const PaintSuspension&) = delete;

private:
    CCorvelinView& view_;
};

CCorvelinView::CCorvelinView(CCorvelinDoc& doc, SettingsStore& settings, CorvelinSys& sys,
                             QWidget* parent)
    : QTableView(parent),
      doc_(doc),
      settings_(settings),
      sys_(sys),
      fs_(std::make_unique<zel::PosixFileSystem>()),
      rows_(std::make_unique<CListRows>()),
      list_(std::make_unique<CPackListView>(doc, *rows_)),
      run_(std::make_unique<CRunCommand>(*list_)),
      grouping_(std::make_unique<CGroupingCommands>(*list_)),
      delete_(std::make_unique<CDeleteCommand>(*list_)),
      icons_(std::make_unique<CIconList>()),
      defaultImport_(MakeViewDefaultImportSettings()) {
    model_ = new CListModel(*rows_, this);
    setModel(model_);
    delegate_ = new CListDelegate(
        settings_.general, *icons_,
        [this](int row, RowDrawInfo& info, int32_t& iconIndex) { Look(row, info, iconIndex); },
        this);
    setItemDelegate(delegate_);

    // Every row one height, the header hidden: the table then never measures
    // rows, whatever their number.
    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->hide();
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* columns = horizontalHeader();
    columns->setSectionsClickable(false);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(QHeaderView::Interactive);

    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setDragEnabled(false);  // a pack's drag is started here, not by the base
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);

    ApplySettings();
    list_->OnInitialUpdate();
    AfterListChange();
    connect(model_, &QAbstractItemModel::modelReset, this, &CCorvelinView::commandStateChanged);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &CCorvelinView::commandStateChanged);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &CCorvelinView::commandStateChanged);
}

CCorvelinView::~CCorvelinView() {
    // The model observes the rows; let go of it before they go.
    setModel(nullptr);
    delete model_;
    model_ = nullptr;
}

void CCorvelinView::SetToolbarTexts(std::function<QString()> packSizeText,
                                    std::function<QString()> fillRateText) {
    packSizeText_ = std::move(packSizeText);
    fillRateText_ = std::move(fillRateText);
}

// --- Settings and shape -----------------------------------------------------

void CCorvelinView::ApplySettings() {
    const DisplaySettings& general = settings_.general;
    delegate_->SetListFont(MakeListFont(general.fontFace, general.fontSize));
    // The height comes from the view's own font, not the list font; a
    // hand-edited negative LINE_HEIGHT must not make rows vanish.
    const int textHeight = std::max(16, QFontMetrics(font()).height());
    const int height = std::max(1, textHeight + 2 * general.lineHeight);
    delegate_->SetRowHeight(height);
    verticalHeader()->setDefaultSectionSize(height);
    rows_->SetSizeUnit(general.dispSizeUnit);
    list_->RefreshSizeColumn(general.dispSizeUnit);
    viewport()->update();
}

void CCorvelinView::SizeColumnsOnce() {
    if (columnsSized_ || !isVisible()) return;
    const int width = viewport()->width();
    if (width <= 0) return;
    columnsSized_ = true;
    static const int kPercent[ColumnCount] = {55, 15, 10, 10, 10};
    for (int column = 0; column < ColumnCount; ++column)
        setColumnWidth(column, width * kPercent[column] / 100);
}

void CCorvelinView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    SizeColumnsOnce();
}

void CCorvelinView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    SizeColumnsOnce();
}

void CCorvelinView::AfterListChange() {
    const QAbstractItemView::SelectionMode wanted = list_->SingleSelection()
                                                        ? QAbstractItemView::SingleSelection
                                                        : QAbstractItemView::ExtendedSelection;
    if (selectionMode() != wanted) {
        clearSelection();
        setSelectionMode(wanted);
    }
    viewport()->update();
    emit commandStateChanged();
}

void CCorvelinView::Look(int row, RowDrawInfo& info, int32_t& iconIndex) const {
    iconIndex = -1;
    if (paintSuspended_ || row < 0 || static_cast<size_t>(row) >= rows_->Count()) return;
    const auto r = static_cast<size_t>(row);
    info = rows_->DrawInfo(r);
    if (settings_.general.simpleIcon != 0) return;
    CPackItem* item = rows_->Item(r);
    if (!item) return;
    // Looked up once per item; a type the theme lacks is asked again next
    // time, which costs one hash lookup.
    if (item->iconIndex < 0) item->iconIndex = icons_->IndexFor(item->GetPath(), item->IsFolder());
    iconIndex = item->iconIndex;
}

CRowSelection CCorvelinView::Selection() const {
    // Ranges, never the selected indexes: a million selected rows stay cheap.
    std::vector<RowRange> ranges;
    if (const QItemSelectionModel* model = selectionModel()) {
        const QItemSelection selection = model->selection();
        ranges.reserve(static_cast<size_t>(selection.size()));
        for (const QItemSelectionRange& range : selection)
            ranges.push_back(
                {static_cast<size_t>(range.top()), static_cast<size_t>(range.bottom())});
    }
    return CRowSelection(std::move(ranges));
}

void CCorvelinView::selectionChanged(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    emit commandStateChanged();
}

// --- Enabling -----------------------------------------------------------------

bool CCorvelinView::CanRun() const {
    return run_->CanRun();
}
bool CCorvelinView::CanBack() const {
    return run_->CanBack();
}
bool CCorvelinView::CanExport() const {
    return run_->CanExport();
}
bool CCorvelinView::CanNewGroup() const {
    return grouping_->CanNewGroup(Selection());
}
bool CCorvelinView::CanAddToGroup() const {
    return grouping_->CanAddToGroup();
}
bool CCorvelinView::CanRemoveFromGroup() const {
    return grouping_->CanRemoveFromGroup();
}
bool CCorvelinView::CanGroupEach() const {
    return grouping_->CanGroupEach(Selection());
}
bool CCorvelinView::CanGroupSubfolders() const {
    return grouping_->CanGroupSubfolders(Selection());
}

// --- Drop ---------------------------------------------------------------------

void CCorvelinView::SetPresetSaver(std::function<bool(std::string& message)> savePresets) {
    savePresets_ = std::move(savePresets);
}

bool CCorvelinView::ChooseImportSettings() {
    CImportSettingsEditor::SavePresets save = savePresets_;
    if (!save) {
        // Without the application's saver: the presets file of the
        // configuration folder, when there is one.
        save = [this](std::string& message) {
            const std::string folder = sys_.GetConfigurationFolder();
            return folder.empty() || SaveImportSettings(*fs_, folder, sys_.presets, message);
        };
    }
    CImportSettingsDlg dialog(sys_.presets, currentImport_, std::move(save), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    currentImport_ = dialog.Working();
    return true;
}

void CCorvelinView::ConfirmAutoGroups(CPackFolder& scanned) {
    CAutoGroupTraverser candidates;
    scanned.Accept(candidates);
    if (candidates.nextCandidate == 0) return;
    auto table = boost::make_shared<AutoGroupTable>(candidates.nextCandidate);
    CGroupCollector collector(table);
    scanned.Accept(collector);
    CAutoGroupConfirmDlg dialog(*table, this);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyAutoGroups(doc_, scanned, dialog.Kept());
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
    {
        PaintSuspension suspension(*this);
        CAddFilesDlg dialog(*fs_, doc_, currentImport_, paths, this);
        // One thread lists folders ahead of the walk, as corvelin-cli does.
        dialog.Worker().SetReadAhead(1);
        accepted = dialog.exec() == QDialog::Accepted;
        result = dialog.Worker().GetResult();
        skipped = dialog.Worker().GetSkipped();
    }
    // A cancelled or failed scan changed nothing.
    if (!accepted) return;
    if (currentImport_->AutoGroup && result) ConfirmAutoGroups(*result);
    list_->OnUpdate(kHintEditable);
    AfterListChange();
    ShowSkipped(skipped);
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

// --- Run and back -----------------------------------------------------------

void CCorvelinView::OnRun() {
    if (!CanRun()) return;
    const QString sizeText = packSizeText_ ? packSizeText_() : QString();
    const QString rateText = fillRateText_ ? fillRateText_() : QString();
    const std::optional<RunPlan> plan =
        run_->Plan(sizeText.toStdU16String(), rateText.toStdU16String(), settings_.packInfoList);
    if (!plan) {
        QMessageBox::critical(this, QStringLiteral("ERROR"),
                              QString::fromStdU16String(kInvalidPackSizeText));
        emit packSizeRejected();
        return;
    }
    bool completed = false;
    {
        PaintSuspension suspension(*this);
        run_->BeforeRun();
        CPackRunDlg dialog(doc_, plan->workingSize, this);
        completed = dialog.exec() == QDialog::Accepted;
        run_->AfterRun(completed, *plan);
    }
    AfterListChange();
}

void CCorvelinView::OnBack() {
    if (!CanBack()) return;
    run_->Back();
    AfterListChange();
}

// --- Grouping ---------------------------------------------------------------

void CCorvelinView::OnNewGroup() {
    if (list_->Mode() != ListMode::Editable) return;
    if (!grouping_->NewGroup(Selection())) {
        QMessageBox box(QMessageBox::NoIcon, ApplicationName(),
                        QString::fromStdU16String(kSelectItemsForGroupText), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    AfterListChange();
}

void CCorvelinView::OnAddToGroup() {
    if (!CanAddToGroup()) return;
    CAssignGroup dialog(doc_.groupCount, this);
    if (dialog.exec() != QDialog::Accepted) return;
    grouping_->AddToGroup(Selection(), static_cast<uint32_t>(dialog.GetGroup() + 1));
    AfterListChange();
}

void CCorvelinView::OnRemoveFromGroup() {
    if (!CanRemoveFromGroup()) return;
    grouping_->RemoveFromGroup(Selection());
    AfterListChange();
}

void CCorvelinView::OnGroupEach() {
    if (!CanGroupEach()) return;
    grouping_->GroupEach(Selection());
    AfterListChange();
}

void CCorvelinView::OnGroupSubfolders() {
    if (!CanGroupSubfolders()) return;
    grouping_->GroupSubfolders(Selection());
    AfterListChange();
}

void CCorvelinView::OnDocumentReset() {
    list_->OnInitialUpdate();
    AfterListChange();
}

void CCorvelinView::OnSettingsChanged() {
    ApplySettings();
}

// --- Mouse and keys ---------------------------------------------------------

void CCorvelinView::keyPressEvent(QKeyEvent* event) {
    // Delete alone; with a modifier it is another command (or none).
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        if (delete_->Delete(Selection())) AfterListChange();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CCorvelinView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    pressRow_ = event->button() == Qt::LeftButton && index.isValid() ? index.row() : -1;
    pressPos_ = pos;
    if (pressRow_ < 0) return;
    const QRect pathCell = visualRect(model_->index(pressRow_, ColumnPath));
    if (list_->OnClick(static_cast<size_t>(pressRow_), pos.x() - pathCell.left(),
                       pos.y() - pathCell.top(), pathCell.height())) {
        pressRow_ = -1;
        AfterListChange();
    }
}

void CCorvelinView::mouseMoveEvent(QMouseEvent* event) {
    if (pressRow_ >= 0 && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressPos_).manhattanLength() >=
            QApplication::startDragDistance() &&
        DragPackIndex(*list_, static_cast<size_t>(pressRow_))) {
        const int row = pressRow_;
        pressRow_ = -1;
        StartPackDrag(row);
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void CCorvelinView::mouseReleaseEvent(QMouseEvent* event) {
    pressRow_ = -1;
    QTableView::mouseReleaseEvent(event);
}

void CCorvelinView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && list_->OnDoubleClick(Selection())) AfterListChange();
}

std::unique_ptr<QMimeData> CCorvelinView::DragData(int row) const {
    if (row < 0) return nullptr;
    const std::optional<size_t> pack = DragPackIndex(*list_, static_cast<size_t>(row));
    if (!pack) return nullptr;
    const std::optional<std::string> list = MakePackDropData(doc_, *pack);
    if (!list) return nullptr;
    auto mime = std::make_unique<QMimeData>();
    mime->setData(kUriListType, QByteArray(list->data(), static_cast<qsizetype>(list->size())));
    return mime;
}

void CCorvelinView::StartPackDrag(int row) {
    std::unique_ptr<QMimeData> mime = DragData(row);
    if (!mime) return;
    // Our own pack must not land back on the list as a new drop.
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    QDrag drag(this);
    drag.setMimeData(mime.release());
    drag.exec(Qt::CopyAction, Qt::CopyAction);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}
