#include "ui/CorvelinView.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "disc/ReservedRoom.h"
#include "intake/ImportSettingsFile.h"
#include "packing/CorvelinDoc.h"
#include "packing/PackImageSizes.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "ui/AssignGroup.h"
#include "ui/IconList.h"
#include "ui/ListDelegate.h"
#include "ui/ListModel.h"
#include "ui/PackRunDlg.h"
#include "ui/settings/DisplayFont.h"
#include "view/DeleteCommand.h"
#include "view/GroupingCommands.h"
#include "view/ImageFitOffer.h"
#include "view/ListColumns.h"
#include "view/ListRows.h"
#include "view/PackListView.h"
#include "view/RowSelection.h"
#include "view/RunCommand.h"

namespace {

QString ApplicationName() {
    return QStringLiteral("Corvelin");
}

}  // namespace

CCorvelinView::PaintSuspension::PaintSuspension(CCorvelinView& view) : view_(view) {
    // The list as it is now stands in for it until the rows are rebuilt: an
    // unpainted area would show whatever the screen held there.
    view_.frozen_ = view_.viewport()->grab();
    view_.paintSuspended_ = true;
    view_.model_->SetSuspended(true);
}

CCorvelinView::PaintSuspension::~PaintSuspension() {
    view_.paintSuspended_ = false;
    view_.model_->SetSuspended(false);
    view_.frozen_ = QPixmap();
    view_.viewport()->update();
}

void CCorvelinView::paintEvent(QPaintEvent* event) {
    if (!paintSuspended_) {
        QTableView::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().base());
    painter.drawPixmap(0, 0, frozen_);
}

QModelIndex CCorvelinView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // Home and End go to the first and last row, as in a list; the table's
    // own move to the first or last column would scroll the paths away.
    if ((action == MoveHome || action == MoveEnd) && model_->rowCount() > 0)
        return model_->index(action == MoveHome ? 0 : model_->rowCount() - 1, ColumnPath);
    return QTableView::moveCursor(action, modifiers);
}

CCorvelinView::CCorvelinView(CCorvelinDoc& doc, SettingsStore& settings, CorvelinSys& sys,
                             zel::IFileSystem& fs, QWidget* parent)
    : QTableView(parent),
      doc_(doc),
      settings_(settings),
      sys_(sys),
      fs_(fs),
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
    // Letting go of the model clears the selection, which would tell the frame
    // of a changed command state while the frame itself is being destroyed.
    blockSignals(true);
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

void CCorvelinView::ApplySettings() {
    const DisplaySettings& general = settings_.general;
    delegate_->SetListFont(MakeListFont(general));
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
    // The packs' image column is sized when it is shown.
    static const int kPercent[ColumnCount] = {55, 15, 10, 10, 10, 10};
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

void CCorvelinView::FitImageColumn() {
    const ListMode mode = list_->Mode();
    setColumnHidden(ColumnImage, !ColumnShown(mode, ColumnImage));
    if (mode != ListMode::Packed) {
        if (treePathWidth_ < 0) return;
        setColumnWidth(ColumnPath, treePathWidth_);
        treePathWidth_ = -1;
        return;
    }
    // The widest text the column can take for a pack of up to 999 GB (three
    // digits, or two and a point), and its title within the header's margins.
    const QFontMetrics metrics(MakeListFont(settings_.general));
    int cell = 0;
    for (const uint64_t bytes : {999'999'999'999ull, 107'300'000'000ull, 10'730'000'000ull}) {
        const std::u16string text = DescribePackImage(bytes, 0, settings_.general.dispSizeUnit);
        cell = std::max(cell, metrics.horizontalAdvance(QString::fromStdU16String(text)) + 14);
    }
    const int title = horizontalHeader()->sectionSizeHint(ColumnImage);
    const int wanted = std::max(cell, title);
    if (treePathWidth_ < 0) treePathWidth_ = columnWidth(ColumnPath);
    // The room comes from the path column while it keeps a quarter of the view.
    const int spare = treePathWidth_ - viewport()->width() / 4;
    setColumnWidth(ColumnPath, treePathWidth_ - std::clamp(spare, 0, wanted));
    setColumnWidth(ColumnImage, wanted);
}

void CCorvelinView::AfterListChange() {
    const QAbstractItemView::SelectionMode wanted = list_->SingleSelection()
                                                        ? QAbstractItemView::SingleSelection
                                                        : QAbstractItemView::ExtendedSelection;
    if (selectionMode() != wanted) {
        clearSelection();
        setSelectionMode(wanted);
    }
    FitImageColumn();
    viewport()->update();
    emit commandStateChanged();
}

void CCorvelinView::Look(int row, RowDrawInfo& info, int32_t& iconIndex) const {
    iconIndex = -1;
    if (paintSuspended_ || row < 0 || static_cast<size_t>(row) >= rows_->Count()) return;
    const auto r = static_cast<size_t>(row);
    info = rows_->DrawInfo(r);
    if (settings_.general.simpleIcon != 0) return;
    if (const CPackItem* item = rows_->Item(r))
        iconIndex = icons_->IndexFor(item->GetPath(), item->IsFolder());
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

bool CCorvelinView::CanRun() const {
    return run_->CanRun();
}
bool CCorvelinView::CanBack() const {
    return run_->CanBack();
}
bool CCorvelinView::CanExport() const {
    return run_->CanExport();
}
bool CCorvelinView::CanSave() const {
    return run_->CanSave();
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

void CCorvelinView::OnRun() {
    if (!CanRun()) return;
    const QString sizeText = packSizeText_ ? packSizeText_() : QString();
    const QString rateText = fillRateText_ ? fillRateText_() : QString();
    const std::optional<RunPlan> plan =
        run_->Plan(sizeText.toStdU16String(), rateText.toStdU16String(), settings_.packInfoList);
    if (!plan) {
        QMessageBox::critical(this, QStringLiteral("ERROR"),
                              QString::fromStdU16String(InvalidPackSizeText()));
        emit packSizeRejected();
        return;
    }
    // Packing by bytes is the default; a run whose images do not all fit
    // says so once and offers a run against the images where that helps.
    const bool fitImages = settings_.general.fitImage != 0;
    std::vector<uint64_t> images;
    if (!RunPacks(*plan, fitImages, images)) return;
    const uint64_t medium = plan->capacity != 0 ? plan->capacity : plan->fullSize;
    const ImageFitOffer offer = MakeImageFitOffer(doc_.packs, images, medium, fitImages);
    if (offer.text.empty()) return;
    const QString text = QString::fromStdU16String(offer.text);
    if (!offer.offerRefit) {
        QMessageBox::information(this, ApplicationName(), text);
        return;
    }
    if (QMessageBox::question(this, ApplicationName(), text) != QMessageBox::Yes) return;
    if (!RunPacks(*plan, true, images)) return;
    const ImageFitOffer left = MakeImageFitOffer(doc_.packs, images, medium, true);
    if (!left.text.empty())
        QMessageBox::information(this, ApplicationName(), QString::fromStdU16String(left.text));
}

bool CCorvelinView::RunPacks(const WorkingPackSize& plan, bool fitImages,
                             std::vector<uint64_t>& images) {
    std::optional<ImageFitGoal> fit;
    if (fitImages) {
        const uint64_t medium = plan.capacity != 0 ? plan.capacity : plan.fullSize;
        fit = ImageFitGoal{std::min(plan.workingSize, medium), false, 0, {}};
        // Room for what writing the packs adds, so that a pack fitted here
        // still fits when it is written, xorriso's MD5 records included
        // when they are to be recorded.
        fit->extraPerPack = [this, md5 = settings_.general.recordMd5 !=
                                         0](const std::vector<PackBin>& packs) {
            return PlannedReservedRoom(doc_.root, packs, md5);
        };
    }
    ListPlace shown;
    // Rows scroll one at a time, so the scroll value is the top row, also on the
    // last page, where the top row may be partly hidden.
    if (model_->rowCount() > 0) shown.top = static_cast<size_t>(verticalScrollBar()->value());
    if (currentIndex().isValid()) shown.current = currentIndex().row();
    bool completed = false;
    {
        PaintSuspension suspension(*this);
        run_->BeforeRun(shown);
        CPackRunDlg dialog(doc_, plan.workingSize, fit, this);
        completed = dialog.exec() == QDialog::Accepted;
        images = dialog.Images();
        run_->AfterRun(completed, plan, images);
    }
    AfterListChange();
    // The packs open at the first one, not where the tree was scrolled to.
    if (completed) scrollToTop();
    return completed;
}

void CCorvelinView::OnBack() {
    if (!CanBack()) return;
    const ListPlace place = run_->Back();
    AfterListChange();
    // The scroll range must know the rebuilt rows, and the scroll bars show or
    // hide on a posted event that changes how many rows fit: go back to the
    // place once that has happened, or the top row would be clamped short.
    executeDelayedItemsLayout();
    QMetaObject::invokeMethod(
        this, [this, place] { GoTo(place); }, Qt::QueuedConnection);
}

void CCorvelinView::GoTo(const ListPlace& place) {
    const int rows = model_->rowCount();
    if (place.current && *place.current < static_cast<size_t>(rows))
        selectionModel()->setCurrentIndex(
            model_->index(static_cast<int>(*place.current), 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (place.top && *place.top < static_cast<size_t>(rows))
        verticalScrollBar()->setValue(static_cast<int>(*place.top));
}

void CCorvelinView::OnNewGroup() {
    if (list_->Mode() != ListMode::Editable) return;
    if (!grouping_->NewGroup(Selection())) {
        QMessageBox box(QMessageBox::NoIcon, ApplicationName(),
                        QString::fromStdU16String(SelectItemsForGroupText()), QMessageBox::Ok,
                        this);
        box.exec();
        return;
    }
    AfterListChange();
}

void CCorvelinView::OnAddToGroup() {
    if (!CanAddToGroup()) return;
    CAssignGroup dialog(doc_.groupCount, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The selection shows only while the list has the keyboard focus: give it
    // back, also where no window manager hands it over when the dialog closes.
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    if (!accepted) return;
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
