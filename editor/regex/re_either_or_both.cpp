#include "editor/regex/re_either_or_both.h"

#include "editor/regex/re_error.h"
#include "editor/regex/re_program.h"

#include <cstddef>

namespace qorvi::re {

namespace {

enum class TokenKind { Open, Close, Bar, DoubleBar, Other };

struct Token {
    std::size_t begin;
    std::size_t end;
    TokenKind kind;
};

// Splits the pattern into the pieces that matter for operator positions;
// malformed tails (an unclosed quote or class) run to the end of the text
// and are left for the compiler to report.
std::vector<Token> tokenize(const std::string& text) {
    std::vector<Token> tokens;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t begin = i;
        const char c = text[i];
        TokenKind kind = TokenKind::Other;
        if (c == '\\') {
            i = i + 2 <= n ? i + 2 : n;
        } else if (c == '"') {
            ++i;
            while (i < n && text[i] != '"')
                i += text[i] == '\\' ? 2 : 1;
            i = i < n ? i + 1 : n;
        } else if (c == '[') {
            ++i;
            if (i < n && text[i] == '^')
                ++i;
            while (i < n && text[i] != ']')
                i += text[i] == '\\' ? 2 : 1;
            i = i < n ? i + 1 : n;
        } else if (c == '(') {
            kind = TokenKind::Open;
            ++i;
        } else if (c == ')') {
            kind = TokenKind::Close;
            ++i;
        } else if (c == '|') {
            if (i + 1 < n && text[i + 1] == '|') {
                kind = TokenKind::DoubleBar;
                i += 2;
            } else {
                kind = TokenKind::Bar;
                ++i;
            }
        } else {
            ++i;
        }
        tokens.push_back({begin, i, kind});
    }
    return tokens;
}

// True when tokens [first, last] are one parenthesised group.
bool whollyEnclosed(const std::vector<Token>& tokens, std::size_t first, std::size_t last) {
    if (tokens[first].kind != TokenKind::Open || tokens[last].kind != TokenKind::Close)
        return false;
    int depth = 0;
    for (std::size_t k = first; k <= last; ++k) {
        if (tokens[k].kind == TokenKind::Open)
            ++depth;
        else if (tokens[k].kind == TokenKind::Close && --depth == 0)
            return k == last;
    }
    return false;
}

int countGroups(const std::vector<Token>& tokens) {
    int groups = 0;
    for (const Token& t : tokens)
        groups += t.kind == TokenKind::Open;
    return groups;
}

} // namespace

RewrittenPattern rewriteEitherOrBoth(const std::string& pattern) {
    RewrittenPattern out{pattern, {}};
    out.origin.resize(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i)
        out.origin[i] = static_cast<int>(i);

    for (;;) {
        std::vector<Token> tokens = tokenize(out.text);
        std::size_t op = 0;
        while (op < tokens.size() && tokens[op].kind != TokenKind::DoubleBar)
            ++op;
        if (op == tokens.size())
            return out;

        // The left operand reaches back to an unmatched '(' or a bar.
        std::size_t left = op;
        for (int depth = 0; left > 0; --left) {
            const TokenKind k = tokens[left - 1].kind;
            if (k == TokenKind::Close) {
                ++depth;
            } else if (k == TokenKind::Open) {
                if (depth == 0)
                    break;
                --depth;
            } else if ((k == TokenKind::Bar || k == TokenKind::DoubleBar) && depth == 0) {
                break;
            }
        }
        std::size_t right = op + 1;
        for (int depth = 0; right < tokens.size(); ++right) {
            const TokenKind k = tokens[right].kind;
            if (k == TokenKind::Open) {
                ++depth;
            } else if (k == TokenKind::Close) {
                if (depth == 0)
                    break;
                --depth;
            } else if ((k == TokenKind::Bar || k == TokenKind::DoubleBar) && depth == 0) {
                break;
            }
        }
        // Either side may be missing: "a||" or "(||b)".
        if (left == op)
            throw ERegExprError(reOperandExpected, out.origin[tokens[op].begin] + 1);
        if (right == op + 1)
            throw ERegExprError(reOperandExpected, out.origin[tokens[op].end - 1] + 2);

        const int opOrigin = out.origin[tokens[op].begin];
        const std::size_t aBegin = tokens[left].begin, aEnd = tokens[op - 1].end;
        const std::size_t bBegin = tokens[op + 1].begin, bEnd = tokens[right - 1].end;
        const bool wrapA = !whollyEnclosed(tokens, left, op - 1);
        const bool wrapB = !whollyEnclosed(tokens, op + 1, right - 1);

        RewrittenPattern next;
        auto put = [&](const char* s) {
            for (; *s; ++s) {
                next.text += *s;
                next.origin.push_back(opOrigin);
            }
        };
        auto copy = [&](std::size_t from, std::size_t to, bool wrap) {
            if (wrap)
                put("(");
            next.text.append(out.text, from, to - from);
            next.origin.insert(next.origin.end(), out.origin.begin() + static_cast<std::ptrdiff_t>(from),
                               out.origin.begin() + static_cast<std::ptrdiff_t>(to));
            if (wrap)
                put(")");
        };
        copy(0, aBegin, false);
        put("((");
        copy(aBegin, aEnd, wrapA);
        copy(bBegin, bEnd, wrapB);
        put("?)|(");
        copy(bBegin, bEnd, wrapB);
        copy(aBegin, aEnd, wrapA);
        put("?))");
        copy(bEnd, out.text.size(), false);

        if (countGroups(tokenize(next.text)) > kMaxGroups)
            throw ERegExprError(reTooManySubExpressions, opOrigin + 1);
        out = std::move(next);
    }
}

} // namespace qorvi::re
