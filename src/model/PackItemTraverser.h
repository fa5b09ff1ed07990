#pragma once

class CPackItem;
class CPackFolder;

// Visitor over the item tree. A folder gets EnterFolder, VisitFolder (false skips
// its children), its children's Accept, then LeaveFolder; a file gets VisitItem
// (false ends the whole walk).
class CPackItemTraverser {
public:
    virtual ~CPackItemTraverser() = default;
    virtual bool VisitFolder(CPackFolder& folder);
    virtual bool VisitItem(CPackItem& item);
    virtual void EnterFolder(CPackFolder& folder);
    virtual void LeaveFolder(CPackFolder& folder);
};
