#pragma once

#include <QDialog>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "disc/DiscSet.h"
#include "disc/DiscSetWriter.h"
#include "disc/DiscWriteForm.h"

class CCorvelinDoc;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// Writes the packs to image files or discs: the set's name, the target, the
// packs, Start, progress and Cancel, and the prompt for the next medium. The
// writing itself is the core's CDiscSetWriter, run on a thread of its own;
// this window shows what it reports and answers what it asks.
class CWriteDiscDlg : public QDialog {
    Q_OBJECT
public:
    // chosenPacks: 1-based numbers to tick; empty ticks every pack. medium:
    // the pack size's name the packs were made for.
    CWriteDiscDlg(const CCorvelinDoc& doc, std::vector<uint32_t> chosenPacks, const QString& medium,
                  QWidget* parent = nullptr);
    ~CWriteDiscDlg() override;

    // Takes a saved set instead of the document's packs; false with a message.
    bool OpenSet(const std::string& path, QString& message);

    // The catalog every written or verified pack's set is recorded in; none
    // when empty.
    void SetCatalogPath(const std::string& path);

    // Whether xorriso's MD5 records are ticked: the profile's setting at
    // first, and what the user left ticked for the setting afterwards.
    void SetRecordMd5(bool on);
    bool RecordMd5() const;

    void Start();
    // Reads back an image file or a drive and shows what differs.
    void Verify(const std::string& path);
    bool Running() const { return worker_.joinable(); }
    const DiscSet& Set() const { return set_; }

signals:
    void finished(int outcome);
    void verified(int outcome);

protected:
    // The answer for the next medium; tests answer without a window.
    virtual MediumAnswer AskForMedium(uint32_t pack, uint32_t count, const QString& problem);
    // The folder for the next pack, in folder when the answer is Go.
    virtual MediumAnswer AskForFolder(uint32_t pack, uint32_t count, const QString& problem,
                                      QString& folder);
    void reject() override;

private:
    class Host;

    void ReadForm();
    void FillPacks();
    void OnOpenSet();
    void OnBrowse();
    void ShowProgress(const DiscProgress& progress);
    void OnFinished(CDiscSetWriter::Outcome outcome, const QString& message);
    void OnVerify();
    void SetBusy(bool busy);
    bool FolderFieldUsed() const;
    bool ToFolders() const;

    const CCorvelinDoc& doc_;
    std::u16string medium_;
    DiscSet set_;
    bool setLoaded_ = false;
    std::string setPath_;
    DiscWriteForm form_;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
    std::unique_ptr<Host> host_;

    QLineEdit* name_;
    QComboBox* target_;
    QLineEdit* folder_;
    QPushButton* browse_;
    QListWidget* packs_;
    QCheckBox* verify_;
    QCheckBox* md5_;
    QProgressBar* bar_;
    QLabel* status_;
    QPlainTextEdit* result_;
    QPushButton* start_;
    QPushButton* openSet_;
    QPushButton* verifyNow_;
    QPushButton* close_;
};
