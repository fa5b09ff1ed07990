#pragma once

#include <QMainWindow>

#include <QKeySequence>
#include <QList>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/FileSystem.h"

class CCorvelinDoc;
class CCorvelinView;
class CorvelinSys;
class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class SettingsStore;

// The single top-level window: toolbar with the pack-size and fill-rate
// boxes, the menus, the status bar, and the list view in the middle. It carries
// the commands that are not the list's: clear list, export, help, home page,
// About, the settings dialogs and exit; the list's commands are forwarded to
// the view and enabled by its rules.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CCorvelinDoc& doc, SettingsStore& settings, CorvelinSys& sys,
               zel::IFileSystem& fs = zel::IFileSystem::Default(), QWidget* parent = nullptr);
    ~CMainFrame() override;

    CCorvelinView* View() const { return view_; }

    QString GetPackSizeText() const;
    QString GetFillRateText() const;
    // Refills both boxes: the registered Names with no text selected, and
    // "100%", "95%", "90%" with "100%" selected.
    void FillToolbarCombos();

    // The file Ctrl+S rewrites; empty before the first export.
    const std::string& ExportPath() const { return exportPath_; }

public slots:
    void OnClearList();
    void OnExport();  // save as
    void OnSave();    // Ctrl+S
    void OnGraftLists();
    // The writing dialog, with the given 1-based packs ticked (all when none).
    void OnWriteDiscs(std::vector<uint32_t> packs = {});
    void OnHelp();
    void OnHomePage();
    void OnAbout();
    void OnOptions();
    void OnManagePack();
    // Re-reads the enabling rules of the list's commands.
    void UpdateCommands();

protected:
    // The save dialog; an empty text when the user cancelled. Tests drive it.
    virtual QString AskExportPath();
    // The folder for the disc lists; an empty text when the user cancelled.
    virtual QString AskGraftListFolder();

private:
    QAction* Command(const char* name) const;
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateNoOpShortcuts();
    bool WriteExport(const std::string& path);
    // The catalog's commands (MainFrameCatalog.cpp): the drop option tied to
    // its setting and the drop's archive check.
    void SetUpCatalog();
    void OnCatalog();
    // The packs as a set in the catalog, every pack planned, for a plan the
    // user exports or burns elsewhere.
    void OnRecordPlan();
    std::string CatalogFile() const;

    CCorvelinDoc& doc_;
    SettingsStore& settings_;
    CorvelinSys& sys_;
    zel::IFileSystem& fs_;
    CCorvelinView* view_;
    QComboBox* packSizeBox_ = nullptr;
    QComboBox* fillRateBox_ = nullptr;

    // The commands' places in the menus and their enabling rules, from the
    // table of MainFrameCommands.cpp.
    enum class Menu { None, File, Operate, View, Tools, Help };
    struct MenuEntry {
        Menu menu;
        bool separatorBefore;
        QAction* action;
    };
    std::vector<MenuEntry> menuEntries_;
    std::vector<std::pair<QAction*, std::function<bool()>>> rules_;
    QList<QKeySequence> commandKeys_;  // the commands' own keys, kept from the boxes
    QAction* toolBarToggle_ = nullptr;

    std::string exportPath_;
    QString exportFolder_;

    QAction* skipArchived_ = nullptr;  // drops leave out what the catalog holds
    QDialog* catalogDlg_ = nullptr;
};
