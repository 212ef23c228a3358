#pragma once

// Keeps the style bytes of a text store's rows up to date after edits, with
// no parser state stored at line ends: the style bytes themselves are the
// record of the last parse.
//
// How styles restart after an edit (ParseText). The edit leaves a pending
// row. From the end of the row before it, the styler walks back over
// characters whose style is not in the parser's anchor set (the token
// values at which a parse may safely start) to the run of equal styles
// holding the first anchor found, and restarts the parser there with that
// style (at the row start instead when anchors include 0 and the row starts
// with style 0; at character 0 at the text start; at a row without styles,
// at its first character). Tokens are then written into a fresh copy of
// each row's styles; when a row is complete the copy is compared with the
// old styles, and the parse stops at the first row after the pending one
// whose styles agree, that was not asked to be parsed, whose successor is
// styled already, and where the parser is inside no construct that crosses
// row ends (InBoundState) nor inside a container. A container token is
// first painted in its own style over its whole length; its content is
// then tokenised again, and every non-zero style found replaces the
// container's.
//
// Typing stays instant on any document because the part run at once is
// bounded: the scanner seems to end at a limit (the rows on screen plus a
// margin), so no single parser call reads past it, however far a comment
// opened by the edit reaches. Where a parse pauses at the limit, the rest
// is remembered as a resume point and styled in idle slices (and at once
// for any row about to be painted, exported or searched by style). A
// resume restarts through the same walk back, and the rows from the resume
// point on take part in the stop test, so the styles reached are those of
// one unbroken parse. Between slices the parse keeps its place (and the
// parser its state) as long as neither the text nor the parser was used by
// anything else; otherwise it restarts through the walk back. A later
// edit's parse that reaches a resume point carries it on from there.

#include "editor/support/byte_set.h"
#include "editor/text/ed_stream.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace qorvi {

class ParserClient;
class TCustomRudivoVoruParser;
class TLine;
class TTextStore;

class IncrementalStyler {
public:
    // OnTokenSeen: the style (which the handler may change), the scanner
    // position after the token and the token start; -1 before a parse and
    // -2 after it, with the positions then -1.
    using TokenSeen = std::function<void(int& style, std::int32_t position, std::int32_t tokenStart)>;

    explicit IncrementalStyler(TTextStore& store);
    ~IncrementalStyler();
    IncrementalStyler(const IncrementalStyler&) = delete;
    IncrementalStyler& operator=(const IncrementalStyler&) = delete;

    // The parser that styles the text (none: nothing is styled) and the
    // control it parses for.
    void SetParser(TCustomRudivoVoruParser* parser, ParserClient* sender);
    TCustomRudivoVoruParser* Parser() const { return parser_; }
    void SetTokenSeen(TokenSeen tokenSeen) { tokenSeen_ = std::move(tokenSeen); }

    // ParseText from the row that starts at (or holds) `pendingOffset`;
    // the parse pauses at `limit` (a row start; -1: none). A request made
    // while a parse runs only records its start.
    void Parse(std::int32_t pendingOffset, std::int32_t limit = -1);
    // One slice of the remaining work, about `budget` characters; true
    // while work remains.
    bool IdleSlice(std::int64_t budget);
    // Finishes the remaining work up to `offset`: every row before it then
    // carries its final styles.
    void StyleBefore(std::int32_t offset);
    // `delta` characters were inserted (> 0) or removed (< 0) at `pos`.
    void TextChanged(std::int32_t pos, std::int32_t delta);
    // Forgets the remaining work (the styles were dropped or the parser
    // changed).
    void Reset();

    bool HasWork() const { return run_.active || !resumePoints_.empty(); }
    // Where the remaining work starts; INT32_MAX when there is none.
    std::int32_t FirstPending() const;
    bool Parsing() const { return parsing_; }
    const std::vector<std::int32_t>& ResumePoints() const { return resumePoints_; }

    // Forgets a parser that goes away (its continuity ticket).
    static void ForgetParser(const TCustomRudivoVoruParser* parser);

private:
    enum class Outcome { Finished, PausedAtLimit, PausedBudget, Abandoned };

    struct Restart {
        TLine* row = nullptr;
        std::int32_t rowStart = 0;
        std::int32_t position = 0;
        std::uint8_t style = 0;
    };

    struct Run {
        bool active = false;
        TLine* row = nullptr;
        std::int32_t rowStart = 0;
        // Where the run restarted: only resume points after it are carried
        // on by this run (one at or before it lies in rows whose styles the
        // restart could not trust).
        std::int32_t restartPos = 0;
        std::vector<std::uint8_t> fresh;
        std::int32_t eligibleFrom = 0; // rows starting here or later may end the parse
        // Rows from here on were not known good when the run began: a run
        // that loses its place carries on from here (or from its row, when
        // that is further on).
        std::int32_t resumeFloor = 0;
        std::int32_t writePos = 0; // next character to style
        std::int32_t tokenEnd = 0;
        std::uint8_t tokenValue = 0;
        std::vector<std::uint8_t> feed; // container styles from feedStart
        std::int32_t feedStart = 0;
        std::int32_t noStopUntil = -1; // rows ending here or before belong to a container
        std::uint64_t stamp = 0;
        std::uint64_t ticket = 0;
        TByteSet parserState;
    };

    Restart findRestart(TLine* row, std::int32_t rowStart, bool stepBack) const;
    void startRun(TLine* row, std::int32_t rowStart, bool resume);
    Outcome advance(std::int64_t budget);
    void writeToken();
    bool completeRow();
    // Makes `row` the one being written; with `keepStyles` its present
    // styles are the starting point, else the tokens write them all.
    void enterRow(TLine* row, std::int32_t rowStart, bool keepStyles);
    void scanContainer(std::int32_t start, std::int32_t end, std::uint8_t value);
    void endRun();
    void suspendRun();
    bool runStillValid() const;
    void addResumePoint(std::int32_t offset);
    void absorbResumePoints(std::int32_t upTo);
    void seen(int& style, std::int32_t position, std::int32_t tokenStart);

    TTextStore& store_;
    TEdStream stream_;
    TCustomRudivoVoruParser* parser_ = nullptr;
    ParserClient* sender_ = nullptr;
    TokenSeen tokenSeen_;
    TByteSet anchor_;
    Run run_;
    std::vector<std::int32_t> resumePoints_; // row starts, ascending
    bool parsing_ = false;
};

} // namespace qorvi
