#pragma once

// The sections of a match whose start and end are known, recorded in one
// pass over it. Backtracking takes, at every fork, the first way from which
// some match follows - and, since the automaton found this match first, it
// ends where this one does. The reverse automaton's states along the match
// (ReverseDfa::findStart's trail) tell which ways lead to that end, so the
// walk takes at each fork the way backtracking would keep, and records
// what it would record, without ever going back.

#include "editor/regex/re_budget.h"
#include "editor/regex/re_dfa.h"
#include "editor/regex/re_nfa.h"
#include "editor/regex/re_text_reader.h"

#include <cstdint>
#include <vector>

namespace qorvi::re {

// Fills `sections` with the match from `start` to `end` (the end as the
// last); false when the walk cannot be made (a loop that consumes nothing),
// so that the caller runs the Pike VM instead.
bool walkSections(const Nfa& nfa, const ReverseDfa& dfa, const std::vector<int>& trail, TextReader& reader,
                  std::int32_t start, std::int32_t end, Budget& budget, std::vector<std::int32_t>& sections);

} // namespace qorvi::re
