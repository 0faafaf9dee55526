#pragma once
// The sort of a dictionary load: entries into ascending byte order of their
// sources.
//
// Why it exists: sorting the entry records themselves moves 56 bytes at a
// time and, for nearly every comparison, follows both sources out to their
// text pages. Sorting 16-byte keys that carry the first twelve bytes of
// each source settles most comparisons without leaving the keys, and the
// entries are then moved once each into their places. The keys cost 16
// bytes an entry while they live, less than the lookup of the grouping that
// was freed before them, so the load's peak does not rise.

#include "dictionary/dictionary.h"

#include <vector>

namespace dictload {

// The sources must be distinct (the grouping made them so): any order that
// sorts them is then the one ascending order.
void sortBySource(std::vector<DS> &entries);

} // namespace dictload
