#pragma once

// The one place where the control's replace-selection tells a store's
// markers about an edit, in the order they need:
//   before deleting [pos, pos + count): markersRemoving (named bookmarks and
//   custom marks move now; breakpoints and the code break note which lines
//   go whole), then the rows go, then markersRemoved (breakpoints and the
//   code break move, through TTextStore::TextChanged);
//   after inserting count characters at pos: markersInserted.
// Numbered bookmarks and line tracks live in the records and need nothing.

#include <cstdint>

namespace qorvi {

class TTextStore;

void markersRemoving(TTextStore& store, std::int32_t pos, std::int32_t count);
void markersRemoved(TTextStore& store, std::int32_t pos, std::int32_t count);
void markersInserted(TTextStore& store, std::int32_t pos, std::int32_t count);

} // namespace qorvi
