#pragma once

#include <cstddef>

#include "model/PackItemTraverser.h"

// Counts the rows a folder's visible descendants take in the editable list
// (the folder the walk starts at excluded), for collapsing it: those rows lie
// directly below the folder's own row, so they leave as one block.
class CFolderView : public CPackItemTraverser {
public:
    bool VisitFolder(CPackFolder& folder) override;
    bool VisitItem(CPackItem& item) override;

    size_t Rows() const { return rows_; }

private:
    size_t rows_ = 0;
    bool skipFirst_ = true;
};
