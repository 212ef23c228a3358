#include "editor/styling/incremental_styler.h"

#include "editor/styling/custom_rudivo_voru_parser.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

namespace qorvi {
namespace {

// Which parse last set each parser's state: a paused parse may carry on
// only while it is still the last to have used its parser (parsers are
// shared by every control of their language).
std::unordered_map<const TCustomRudivoVoruParser*, std::uint64_t>& parserTickets() {
    static std::unordered_map<const TCustomRudivoVoruParser*, std::uint64_t> tickets;
    return tickets;
}

std::uint64_t nextTicket() {
    static std::uint64_t counter = 0;
    return ++counter;
}

} // namespace

IncrementalStyler::IncrementalStyler(TTextStore& store) : store_(store), stream_(&store) {
}

IncrementalStyler::~IncrementalStyler() = default;

void IncrementalStyler::ForgetParser(const TCustomRudivoVoruParser* parser) {
    parserTickets().erase(parser);
}

void IncrementalStyler::SetParser(TCustomRudivoVoruParser* parser, ParserClient* sender) {
    if (parser != parser_)
        Reset();
    parser_ = parser;
    sender_ = sender;
}

void IncrementalStyler::Reset() {
    if (run_.active)
        endRun();
    resumePoints_.clear();
}

std::int32_t IncrementalStyler::FirstPending() const {
    std::int32_t first = INT32_MAX;
    if (run_.active)
        first = run_.rowStart;
    if (!resumePoints_.empty())
        first = std::min(first, resumePoints_.front());
    return first;
}

void IncrementalStyler::addResumePoint(std::int32_t offset) {
    auto it = std::lower_bound(resumePoints_.begin(), resumePoints_.end(), offset);
    if (it == resumePoints_.end() || *it != offset)
        resumePoints_.insert(it, offset);
}

void IncrementalStyler::absorbResumePoints(std::int32_t upTo) {
    auto from = std::upper_bound(resumePoints_.begin(), resumePoints_.end(), run_.restartPos);
    auto to = std::upper_bound(from, resumePoints_.end(), upTo);
    resumePoints_.erase(from, to);
}

void IncrementalStyler::TextChanged(std::int32_t pos, std::int32_t delta) {
    // A parse in progress loses its place; it carries on from its row.
    if (run_.active)
        suspendRun();
    // Points inside a removed stretch move to where it was.
    for (std::int32_t& p : resumePoints_)
        if (p > pos)
            p = std::max(pos, p + delta);
    resumePoints_.erase(std::unique(resumePoints_.begin(), resumePoints_.end()), resumePoints_.end());
}

void IncrementalStyler::seen(int& style, std::int32_t position, std::int32_t tokenStart) {
    if (!tokenSeen_)
        return;
    const int given = style;
    tokenSeen_(style, position, tokenStart);
    // A style byte holds 0 ... 255; anything else keeps the parser's value.
    if (tokenStart >= 0 && (style < 0 || style > 255))
        style = given;
}

IncrementalStyler::Restart IncrementalStyler::findRestart(TLine* row, std::int32_t rowStart,
                                                          bool stepBack) const {
    if (stepBack) {
        TLine* prev = store_.Prev(row);
        // A parse from the first row starts at character 0.
        if (!prev)
            return {row, rowStart, rowStart, 0};
        row = prev;
        rowStart -= row->Len();
    }
    if (!row->IsStyled())
        return {row, rowStart, rowStart, 0};
    // Back over characters whose style is no anchor, row by row.
    TLine* cur = row;
    std::int32_t curStart = rowStart;
    std::int32_t i = cur->Len() - 1;
    std::uint8_t st[kMaxLineLen];
    cur->ReadStyles(st);
    for (;;) {
        while (i >= 0 && !anchor_.Contains(st[i]))
            --i;
        if (i >= 0)
            break;
        TLine* prev = store_.Prev(cur);
        if (!prev)
            return {cur, curStart, curStart, 0};
        curStart -= prev->Len();
        if (!prev->IsStyled())
            return {prev, curStart, curStart, 0};
        cur = prev;
        cur->ReadStyles(st);
        i = cur->Len() - 1;
    }
    const std::uint8_t style = st[i];
    // To the first character of the run holding the anchor.
    for (;;) {
        while (i > 0 && st[i - 1] == style)
            --i;
        if (i > 0)
            break;
        TLine* prev = store_.Prev(cur);
        if (!prev || !prev->IsStyled() || prev->StyleAt(prev->Len() - 1) != style)
            break;
        cur = prev;
        curStart -= prev->Len();
        cur->ReadStyles(st);
        i = cur->Len() - 1;
    }
    if (anchor_.Contains(0) && st[0] == 0)
        return {cur, curStart, curStart, 0};
    return {cur, curStart, curStart + i, style};
}

void IncrementalStyler::enterRow(TLine* row, std::int32_t rowStart, bool keepStyles) {
    run_.row = row;
    run_.rowStart = rowStart;
    const std::size_t len = row->Len();
    run_.fresh.resize(len);
    if (keepStyles && !row->ReadStyles(run_.fresh.data()))
        std::fill(run_.fresh.begin(), run_.fresh.end(), 0);
}

void IncrementalStyler::startRun(TLine* row, std::int32_t rowStart, bool resume) {
    parser_->GetAnchor(anchor_);
    const Restart restart = findRestart(row, rowStart, resume || (row->Flags() & (lfChanged | lfParseStart)));
    run_ = Run{};
    run_.active = true;
    run_.restartPos = restart.position;
    // A resumed parse never tested its first row; a new one may end from
    // the row after the pending one, which keeps its parse bit until it is
    // parsed, so that a run that loses its place cannot end on it either.
    run_.eligibleFrom = resume ? rowStart : rowStart + row->Len();
    run_.resumeFloor = rowStart;
    if (!resume)
        row->AddFlags(lfParseStart);
    // The characters of the row before the restart keep their styles.
    enterRow(restart.row, restart.rowStart, restart.position > restart.rowStart);
    run_.writePos = restart.position;
    run_.tokenEnd = restart.position;
    stream_.SetYYpos(restart.position);
    // ParseInit also clears a busy flag left by a parse that stopped inside
    // a container.
    parser_->ParseInit(restart.style);
    run_.ticket = nextTicket();
    parserTickets()[parser_] = run_.ticket;
    int start = -1;
    seen(start, -1, -1);
}

void IncrementalStyler::endRun() {
    run_.active = false;
    run_.fresh.clear();
    run_.feed.clear();
    int end = -2;
    seen(end, -1, -1);
}

void IncrementalStyler::suspendRun() {
    addResumePoint(std::max(run_.rowStart, run_.resumeFloor));
    endRun();
}

bool IncrementalStyler::runStillValid() const {
    if (!run_.active || run_.stamp != store_.EditStamp())
        return false;
    auto it = parserTickets().find(parser_);
    if (it == parserTickets().end() || it->second != run_.ticket)
        return false;
    TByteSet state;
    parser_->GetCurrentParserState(state);
    return state == run_.parserState;
}

void IncrementalStyler::writeToken() {
    const std::int32_t rowEnd = run_.rowStart + run_.row->Len();
    const std::int32_t upTo = std::min(run_.tokenEnd, rowEnd);
    std::uint8_t* out = run_.fresh.data() + (run_.writePos - run_.rowStart);
    const std::int32_t feedEnd = run_.feedStart + static_cast<std::int32_t>(run_.feed.size());
    std::int32_t pos = run_.writePos;
    if (!run_.feed.empty() && pos < feedEnd) {
        const std::int32_t n = std::min(upTo, feedEnd) - pos;
        std::memcpy(out, run_.feed.data() + (pos - run_.feedStart), static_cast<std::size_t>(n));
        out += n;
        pos += n;
    }
    if (pos < upTo)
        std::memset(out, run_.tokenValue, static_cast<std::size_t>(upTo - pos));
    run_.writePos = upTo;
}

bool IncrementalStyler::completeRow() {
    TLine* row = run_.row;
    const std::int32_t len = row->Len();
    const std::int32_t rowEnd = run_.rowStart + len;
    // Most rows parse as they did before: those are only compared.
    const bool equal = row->HasStyles(run_.fresh.data());
    TLine* next = store_.Next(row);
    if (equal && !(row->Flags() & lfParseStart) && run_.rowStart >= run_.eligibleFrom &&
        (!next || next->IsStyled()) && rowEnd > run_.noStopUntil && !parser_->InBoundState() &&
        !parser_->Busy()) {
        absorbResumePoints(run_.rowStart);
        return true;
    }
    if (!equal) {
        std::uint8_t runs[2 * kMaxLineLen];
        store_.SetLineStyleRuns(row, runs, EncodeStyleRuns(run_.fresh.data(), len, runs));
        row->AddFlags(lfRepaint);
    }
    row->ClearFlags(lfChanged | lfParseStart);
    absorbResumePoints(rowEnd);
    if (!next)
        return true;
    // The tokens write every style of the next row.
    enterRow(next, rowEnd, false);
    return false;
}

void IncrementalStyler::scanContainer(std::int32_t start, std::int32_t end, std::uint8_t value) {
    // The container's own style first, then every non-zero style its
    // content gives.
    run_.feed.assign(static_cast<std::size_t>(end - start), value);
    run_.feedStart = start;
    run_.noStopUntil = end;
    stream_.SetYYpos(start);
    while (parser_->Busy() && !stream_.yyeof()) {
        const std::int32_t tokenStart = stream_.GetYYpos();
        std::int32_t len = 0;
        int style = parser_->ParseStream(sender_, stream_, len);
        std::int32_t tokenEnd = stream_.GetYYpos();
        if (tokenEnd <= tokenStart) {
            stream_.SetYYpos(tokenStart + 1);
            tokenEnd = std::max(tokenStart + 1, stream_.GetYYpos());
        }
        seen(style, tokenEnd, tokenStart);
        const auto from = static_cast<std::size_t>(tokenStart - start);
        const auto to = static_cast<std::size_t>(tokenEnd - start);
        if (to > run_.feed.size())
            run_.feed.resize(to, 0);
        if (style != 0)
            std::fill(run_.feed.begin() + static_cast<std::ptrdiff_t>(from),
                      run_.feed.begin() + static_cast<std::ptrdiff_t>(to), static_cast<std::uint8_t>(style));
    }
    // A content token that ran past the container keeps going from there.
    stream_.SetYYpos(start + static_cast<std::int32_t>(run_.feed.size()));
}

IncrementalStyler::Outcome IncrementalStyler::advance(std::int64_t budget) {
    std::int64_t spent = 0;
    for (;;) {
        while (run_.writePos < run_.tokenEnd) {
            const std::int32_t before = run_.writePos;
            writeToken();
            spent += run_.writePos - before;
            if (run_.writePos == run_.rowStart + run_.row->Len()) {
                if (completeRow())
                    return Outcome::Finished;
                if (spent >= budget)
                    return Outcome::PausedBudget;
            }
        }
        if (stream_.yyeof())
            return stream_.GetYYpos() < store_.NumChars() ? Outcome::PausedAtLimit : Outcome::Finished;
        const std::uint64_t stamp = store_.EditStamp();
        const std::int32_t tokenStart = stream_.GetYYpos();
        const bool wasBusy = parser_->Busy();
        std::int32_t len = 0;
        int style = parser_->ParseStream(sender_, stream_, len);
        if (store_.EditStamp() != stamp)
            return Outcome::Abandoned;
        if (len <= 0 && stream_.GetYYpos() == tokenStart)
            stream_.yyadvance();
        std::int32_t tokenEnd = stream_.GetYYpos();
        if (tokenEnd <= tokenStart) {
            // A parser that did not move on: one character, so the parse
            // always ends.
            stream_.SetYYpos(tokenStart + 1);
            tokenEnd = std::max(tokenStart + 1, stream_.GetYYpos());
        }
        seen(style, tokenEnd, tokenStart);
        run_.tokenValue = static_cast<std::uint8_t>(style);
        if (!wasBusy && parser_->Busy()) {
            scanContainer(tokenStart, tokenEnd, run_.tokenValue);
            tokenEnd = stream_.GetYYpos();
        }
        run_.tokenEnd = tokenEnd;
    }
}

void IncrementalStyler::Parse(std::int32_t pendingOffset, std::int32_t limit) {
    if (!parser_ || store_.NumChars() == 0)
        return;
    if (parsing_) {
        const TTextStore::LineInfo asked = store_.InfoFromIndex(pendingOffset);
        if (asked.line)
            asked.line->AddFlags(lfParseStart);
        addResumePoint(asked.start);
        return;
    }
    // This parse takes the parser over: a paused one restarts later.
    if (run_.active)
        suspendRun();
    const TTextStore::LineInfo pending = store_.InfoFromIndex(pendingOffset);
    if (!pending.line)
        return;
    parsing_ = true;
    try {
        startRun(pending.line, pending.start, false);
        stream_.SetLimit(limit >= 0 && limit < store_.NumChars() ? limit : -1);
        const Outcome outcome = advance(INT64_MAX);
        const std::int32_t reached = run_.writePos;
        if (outcome == Outcome::PausedAtLimit)
            addResumePoint(reached);
        if (outcome == Outcome::Abandoned)
            suspendRun();
        else
            endRun();
    } catch (...) {
        stream_.SetLimit(-1);
        if (run_.active)
            endRun();
        parsing_ = false;
        throw;
    }
    stream_.SetLimit(-1);
    parsing_ = false;
}

bool IncrementalStyler::IdleSlice(std::int64_t budget) {
    if (!parser_ || parsing_) {
        const bool work = HasWork();
        if (!parser_)
            Reset();
        return work && parser_;
    }
    if (run_.active && !runStillValid())
        suspendRun();
    parsing_ = true;
    try {
        if (!run_.active) {
            while (!resumePoints_.empty()) {
                const std::int32_t offset = resumePoints_.front();
                resumePoints_.erase(resumePoints_.begin());
                if (offset >= store_.NumChars())
                    continue;
                const TTextStore::LineInfo info = store_.InfoFromIndex(offset);
                startRun(info.line, info.start, true);
                break;
            }
        }
        if (run_.active) {
            const Outcome outcome = advance(std::max<std::int64_t>(budget, 1));
            if (outcome == Outcome::PausedBudget) {
                run_.stamp = store_.EditStamp();
                parser_->GetCurrentParserState(run_.parserState);
            } else {
                if (outcome == Outcome::Abandoned)
                    suspendRun();
                else
                    endRun();
            }
        }
    } catch (...) {
        if (run_.active)
            endRun();
        parsing_ = false;
        throw;
    }
    parsing_ = false;
    return HasWork();
}

void IncrementalStyler::StyleBefore(std::int32_t offset) {
    while (parser_ && HasWork() && FirstPending() < offset)
        IdleSlice(1 << 20);
}

} // namespace qorvi
