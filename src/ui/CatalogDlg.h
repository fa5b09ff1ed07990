#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "catalog/Catalog.h"
#include "catalog/CatalogRows.h"
#include "catalog/CatalogSearchWorker.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTimer;

// The archive catalog's window (Tools menu): one search box whose results
// follow the typing, and the recorded sets with their discs and bytes. What it
// shows comes from catalog::CatalogRows; this class lays it out and forwards
// the user's commands.
class CCatalogDlg : public QDialog {
    Q_OBJECT
public:
    // path: the catalog's file. sizeUnit: the list's size unit setting.
    CCatalogDlg(const std::string& path, int sizeUnit, QWidget* parent = nullptr);
    ~CCatalogDlg() override;

    // For tests: type into the search box and start the search at once.
    void SearchNow(const QString& text);
    // Whether a search's result is still to come.
    bool Searching() const { return searching_; }
    QTableWidget* Results() const { return results_; }
    QTableWidget* SetList() const { return sets_; }

private:
    void Search();
    void ShowResult(catalog::CatalogSearchWorker::Result& result);
    void FillSets();
    void OpenFolder();
    void CopyPath();
    void AddSet(bool folder);
    void RenameSet();
    void RemoveSet();
    std::string SelectedSetId() const;
    void ShowError(const QString& text);

    catalog::Catalog catalog_;
    std::unique_ptr<catalog::CatalogRows> rows_;
    std::unique_ptr<catalog::CatalogSearchWorker> searches_;
    std::vector<catalog::CatalogResultRow> found_;
    bool searching_ = false;
    int sizeUnit_;
    bool usable_ = false;

    QLineEdit* search_;
    QLabel* count_;
    QTableWidget* results_;
    QPushButton* openFolder_;
    QPushButton* copyPath_;
    QTableWidget* sets_;
    QPushButton* rename_;
    QPushButton* remove_;
    QTimer* typing_;
};
