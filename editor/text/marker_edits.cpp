#include "editor/text/marker_edits.h"

#include "editor/text/text_store.h"

namespace qorvi {

void markersRemoving(TTextStore& store, std::int32_t pos, std::int32_t count) {
    if (count <= 0)
        return;
    store.CustomBookmarks().Removing(count, pos);
    if (TMarkList* marks = store.ObjectList())
        marks->Deleted(pos, count);
    store.Breakpoints().Removing(count, pos);
    store.CodeBreak().Removing(count, pos);
}

void markersRemoved(TTextStore& store, std::int32_t pos, std::int32_t count) {
    if (count > 0)
        store.TextChanged(pos, -count);
}

void markersInserted(TTextStore& store, std::int32_t pos, std::int32_t count) {
    if (count <= 0)
        return;
    store.CustomBookmarks().Adding(count, pos);
    if (TMarkList* marks = store.ObjectList())
        marks->Inserted(pos, count);
    store.TextChanged(pos, count);
}

} // namespace qorvi
