#pragma once

#include <QTableView>

#include <functional>
#include <string>
#include <vector>

class CCorvelinDoc;
class CorvelinSys;
class SettingsStore;

// The main list. It shows the document as the editable tree or as packs, and
// carries the commands that act on the list (drop, run, back, grouping,
// Delete, drag-out). What it decides lives in the core (src/view/); this class
// shows it and forwards input.
class CCorvelinView : public QTableView {
    Q_OBJECT
public:
    CCorvelinView(CCorvelinDoc& doc, SettingsStore& settings, CorvelinSys& sys,
                  QWidget* parent = nullptr);
    ~CCorvelinView() override;

    // Where the run command reads the toolbar's pack-size and fill-rate texts.
    void SetToolbarTexts(std::function<QString()> packSizeText,
                         std::function<QString()> fillRateText);

    // Scans and adds absolute raw-byte paths, as a drop does (also the paths
    // given on the command line). showImportSettings: the drop asked for the
    // import settings dialog (Shift held).
    void DropPaths(const std::vector<std::string>& paths, bool showImportSettings);

    // Enabling of the commands the frame shows.
    bool CanRun() const;
    bool CanBack() const;
    bool CanExport() const;
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

private:
    CCorvelinDoc& doc_;
    SettingsStore& settings_;
    CorvelinSys& sys_;
    std::function<QString()> packSizeText_;
    std::function<QString()> fillRateText_;
};
