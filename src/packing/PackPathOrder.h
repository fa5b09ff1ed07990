#pragma once

#include <vector>

#include "packing/PackRecords.h"

class CPackFolder;

// Sorts every pack's files by path: ASCII letters folded, and paths that differ
// only in case in a fixed order by their plain code units (ComparePathsNoCase,
// then a code-unit comparison); identical paths keep their order in the pack.
// The packs hold files of root's tree, whose path order is found once for all
// of them where the tree allows. Large runs sort on a second thread as well.
void SortPacksByPath(const CPackFolder& root, std::vector<PackBin>& packs);
