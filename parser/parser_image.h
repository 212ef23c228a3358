#pragma once

// The uncompressed parser image after the settings: the keyword table, then
// the handler table, the start table, the context states, the state
// changes, the per-state start tables (each entry followed by its table's
// whole range list), the anchor, bound and start states, and the custom
// match flag. Character groups travel in full and are interned again into
// the keyword table's group manager on reading.
//
// The reader checks every count and length against the bytes left before
// it allocates anything, and refuses a terminator of more than four groups;
// bad data raises a stream error and leaves the tables partly filled (the
// caller resets them).

namespace qorvi {

class TParserTables;
class TStream;

void WriteParserTables(const TParserTables& tables, TStream& image);
// Reads into tables that were Reset; the no-state-tables flag is set at the end.
void ReadParserTables(TParserTables& tables, TStream& image);

} // namespace qorvi
