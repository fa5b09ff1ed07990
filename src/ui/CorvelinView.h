#pragma once

#include <QPixmap>
#include <QTableView>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "intake/ImportSettings.h"
#include "intake/SkippedEntry.h"
#include "model/PackItem.h"
#include "settings/WorkingPackSize.h"
#include "support/FileSystem.h"

class QMimeData;
class CCorvelinDoc;
class CDeleteCommand;
class CGroupingCommands;
class CIconList;
class CListDelegate;
class CListModel;
class CListRows;
class CPackFolder;
class CPackListView;
class CRowSelection;
class CRunCommand;
struct ListPlace;
class CorvelinSys;
class SettingsStore;
struct RowDrawInfo;
class IArchiveCheck;

// The main list. It shows the document as the editable tree or as packs, and
// carries the commands that act on the list (drop, run, back, grouping,
// Delete, drag-out). What it decides lives in the core (src/view/); this class
// shows it and forwards input.
class CCorvelinView : public QTableView {
    Q_OBJECT
public:
    CCorvelinView(CCorvelinDoc& doc, SettingsStore& settings, CorvelinSys& sys,
                  zel::IFileSystem& fs = zel::IFileSystem::Default(), QWidget* parent = nullptr);
    ~CCorvelinView() override;

    // Where the run command reads the toolbar's pack-size and fill-rate texts.
    void SetToolbarTexts(std::function<QString()> packSizeText,
                         std::function<QString()> fillRateText);

    // How the import settings dialog rewrites the presets file (the
    // application's profile session); false with a UTF-8 message on failure.
    void SetPresetSaver(std::function<bool(std::string& message)> savePresets);

    // A drop asks makeCheck for the check that leaves archived files out of its
    // scan (null: none) and hands it to report once the scan was taken.
    using ArchiveCheckMaker =
        std::function<std::shared_ptr<IArchiveCheck>(const std::vector<std::string>& paths)>;
    void SetArchiveCheck(ArchiveCheckMaker makeCheck, std::function<void(IArchiveCheck&)> report) {
        makeArchiveCheck_ = std::move(makeCheck);
        reportArchiveCheck_ = std::move(report);
    }

    // Scans and adds absolute raw-byte paths, as a drop does (also the paths
    // given on the command line). showImportSettings: the drop asked for the
    // import settings dialog (Shift held).
    void DropPaths(const std::vector<std::string>& paths, bool showImportSettings);

    // What dragging a row out of the window offers: a pack header's files as
    // text/uri-list, the same URLs as text/plain; null for any other row.
    std::unique_ptr<QMimeData> DragData(int row) const;
    // The 0-based pack a pack header row stands for (packed mode only).
    std::optional<size_t> PackAtRow(int row) const;

    // Enabling of the commands the frame shows.
    bool CanRun() const;
    bool CanBack() const;
    bool CanExport() const;
    bool CanSave() const;
    bool CanNewGroup() const;
    bool CanAddToGroup() const;
    bool CanRemoveFromGroup() const;
    bool CanGroupEach() const;
    bool CanGroupSubfolders() const;

public slots:
    void OnRun();
    void OnBack();
    void OnNewGroup();
    void OnAddToGroup();
    void OnRemoveFromGroup();
    void OnGroupEach();
    void OnGroupSubfolders();
    // The document was reset (clear list): show the empty editable list.
    void OnDocumentReset();
    // Fonts, colours, line height or size unit changed: re-measure and redraw.
    void OnSettingsChanged();

signals:
    // Some enabling rule may have changed; the frame asks again.
    void commandStateChanged();
    // A prompt for the status bar (empty: back to the idle text).
    void statusTextChanged(const QString& text);
    // The run refused the pack-size text (after its message): the frame gives
    // the pack-size box the keyboard focus.
    void packSizeRejected();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    // While a worker dialog runs, the rows may point at records the worker
    // rewrites; modal loops still deliver paint events, so the list shows
    // nothing new until the caller has rebuilt its rows.
    class PaintSuspension {
    public:
        explicit PaintSuspension(CCorvelinView& view);
        ~PaintSuspension();
        PaintSuspension(const PaintSuspension&) = delete;
        PaintSuspension& operator=(const PaintSuspension&) = delete;

    private:
        CCorvelinView& view_;
    };

    // The import settings dialog of a drop; false when the user cancelled it.
    bool ChooseImportSettings();
    // Automatic grouping of a scan's new items, as the user confirms it.
    void ConfirmAutoGroups(const CPackFolderPtr& scanned);
    void ShowSkipped(const SkippedEntryList& skipped);

    CRowSelection Selection() const;
    // Row height, font and size unit from the settings.
    void ApplySettings();
    // Selection mode of the mode the list is in; tells the frame.
    void AfterListChange();
    // The packs show their images in a column of their own, wide enough for
    // its texts, whose room comes from the path; the tree hides it and gets
    // its path width back.
    void FitImageColumn();
    // One run with its dialog, by bytes or against the images; false when it
    // did not complete. images: each pack's estimated image.
    bool RunPacks(const WorkingPackSize& plan, bool fitImages, std::vector<uint64_t>& images);
    void SizeColumnsOnce();
    void Look(int row, RowDrawInfo& info, int32_t& iconIndex) const;
    void StartPackDrag(int row);
    // Makes a row current and scrolls another to the top, as far as they exist.
    void GoTo(const ListPlace& place);

    CCorvelinDoc& doc_;
    SettingsStore& settings_;
    CorvelinSys& sys_;
    std::function<QString()> packSizeText_;
    std::function<QString()> fillRateText_;
    std::function<bool(std::string& message)> savePresets_;
    ArchiveCheckMaker makeArchiveCheck_;
    std::function<void(IArchiveCheck&)> reportArchiveCheck_;

    zel::IFileSystem& fs_;
    std::unique_ptr<CListRows> rows_;
    std::unique_ptr<CPackListView> list_;
    std::unique_ptr<CRunCommand> run_;
    std::unique_ptr<CGroupingCommands> grouping_;
    std::unique_ptr<CDeleteCommand> delete_;
    std::unique_ptr<CIconList> icons_;
    CListModel* model_ = nullptr;
    CListDelegate* delegate_ = nullptr;

    CImportSettingsPtr currentImport_;
    CImportSettingsPtr defaultImport_;

    bool paintSuspended_ = false;
    QPixmap frozen_;  // the list as it was when painting was suspended
    bool columnsSized_ = false;
    // The path width of the tree while the packs' image column takes room.
    int treePathWidth_ = -1;
    int pressRow_ = -1;
    QPoint pressPos_;
};
