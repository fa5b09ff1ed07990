#pragma once

#include <QDialog>

#include "intake/SkippedEntry.h"

// After a scan that left entries out: each one's path and why, so that the
// user knows what the list lacks before packing it.
class CSkippedEntriesDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSkippedEntriesDlg(const SkippedEntryList& skipped, QWidget* parent = nullptr);

    // One line per entry: the path as shown in the list, the reason, the
    // system's error text when a call failed.
    static QString Describe(const SkippedEntryList& skipped);
};
