#pragma once

// The either-or-both operator of the regular-expression dialect: A||B is
// rewritten in the pattern text, before compiling, into
// (((A)(B)?)|((B)(A)?)), so that it matches A, B, A followed by B, or B
// followed by A. An operand already wholly enclosed in one pair of
// parentheses is not wrapped again.
//
// The operands reach to the nearest |, || or unmatched parenthesis on
// either side, so a||b||c groups as (a||b)||c. Characters inside escapes,
// quoted strings and classes are never operators.

#include <string>
#include <vector>

namespace qorvi::re {

struct RewrittenPattern {
    std::string text;
    // For every character of `text`, the zero-based index of the pattern
    // character it came from, so that errors point into the pattern the
    // user typed.
    std::vector<int> origin;
};

// Raises ERegExprError "Operand of || expected" where an operand is missing,
// and "Too many sub-expressions" (at the operator) when a
// rewrite would open more than nine groups: the rewritten pattern could
// never compile, and repeated rewrites would double its size each time.
RewrittenPattern rewriteEitherOrBoth(const std::string& pattern);

} // namespace qorvi::re
