#pragma once

#include <vector>

#include "packing/PackRecords.h"

// Sorts every pack's files by path: ASCII letters folded, and paths that differ
// only in case in a fixed order by their plain code units (ComparePathsNoCase,
// then a code-unit comparison). Large runs sort on a second thread as well.
void SortPacksByPath(std::vector<PackBin>& packs);
