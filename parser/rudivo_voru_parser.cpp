#include "parser/rudivo_voru_parser.h"

#include "editor/styling/parser_client.h"
#include "editor/text/ed_stream.h"
#include "parser/predefined_handlers.h"
#include "parser/script_compiler.h"

#include <utility>

namespace qorvi {

namespace {

// The character under the scanner, or -1 at the end of the text.
inline int peek(TEdStream& s) {
    const unsigned char c = s.GetYYchar();
    if (c == 0 && s.yyeof())
        return -1;
    return c;
}

// A run of the More group up to a look-ahead character of the Stop group,
// from the scanner on, the look-ahead tried first when `check` is set; false
// when a character of neither group comes first. The end of the text ends
// the run. Once the look-ahead is tested, the characters of the current
// record that continue the run (Go: More without Stop) are tested in place
// and stepped over at once. `Groups` is a TScanRun or GroupSets.
template <class Groups> inline bool runUpTo(TEdStream& s, const Groups& g, bool check, std::int32_t& Len) {
    for (;;) {
        const unsigned char* at;
        const std::int32_t avail = s.Span(at);
        int ch;
        if (check) {
            std::int32_t n = 0;
            while (n < avail && g.Go(at[n]))
                ++n;
            s.Skip(n);
            Len += n;
            ch = n < avail ? at[n] : peek(s);
        } else {
            ch = avail > 0 ? at[0] : peek(s);
        }
        if (ch < 0 || (check && g.Stop(static_cast<unsigned char>(ch))))
            return true;
        check = true;
        if (!g.More(static_cast<unsigned char>(ch)))
            return false;
        s.yyadvance();
        ++Len;
    }
}

// The groups of a run as the tables hold them.
struct GroupSets {
    GroupSets(const TByteSet& more, const TByteSet& stop) : more_(more), stop_(stop), go_(more) {
        go_.Subtract(stop);
    }
    bool More(unsigned char c) const { return more_.Contains(c); }
    bool Stop(unsigned char c) const { return stop_.Contains(c); }
    bool Go(unsigned char c) const { return go_.Contains(c); }

private:
    const TByteSet& more_;
    const TByteSet& stop_;
    TByteSet go_;
};

// Steps over the characters of `set` from the scanner on, those of the
// current record tested in place; returns how many.
inline std::int32_t skipOver(TEdStream& s, const TByteSet& set) {
    std::int32_t total = 0;
    for (;;) {
        const unsigned char* at;
        const std::int32_t avail = s.Span(at);
        std::int32_t n = 0;
        while (n < avail && set.Contains(at[n]))
            ++n;
        s.Skip(n);
        total += n;
        if (n < avail || n == 0)
            return total;
    }
}

// Inside a construct ended by a sequence (a block comment up to */), the
// characters that continue it and cannot start its end: the scanning loops
// step over them at once, where they would only test and step one by one.
// False for a continuation or terminator that is a handler.
bool insideOf(const TParserTables& tables, const TSM_SpecRec& c, const TSM_EndsAction& t, TByteSet& inside) {
    if (c.IsHandler || t.IsHandler || t.Count == 0)
        return false;
    inside = tables.Members(c.CharSet);
    inside.Subtract(tables.Members(t.CharSets[0]));
    return true;
}

} // namespace

TRudivoVoruParser::TRudivoVoruParser() : settings_(std::make_unique<TSM_Settings>()) {
    compressor_.SetMode(TCompressor::cmStream);
    compressor_.SetMethod(TCompressor::cmBlock);
    Reset();
}

TRudivoVoruParser::~TRudivoVoruParser() {
    // The controls must let go while the tables are still here.
    notifyDestroyed();
}

void TRudivoVoruParser::Reset() {
    dropPlans();
    tables_.Reset();
    settings_->Reset();
    stack_.Clear();
    caseSensitive_ = false;
    currentStates_ = tables_.StartState();
    savedStates_ = currentStates_;
    inContainer_ = false;
    containerEnd_ = 0;
    containerValue_ = 0;
    GetLowestState();
}

void TRudivoVoruParser::settingsAddRef(ParserClient* Control) {
    if (SettingsClient* client = Control->settingsClient())
        settings_->AddRef(client);
}

void TRudivoVoruParser::settingsRelease(ParserClient* Control) {
    // A control that leaves and comes back is attached again by its next call.
    if (lastSender_ == Control)
        lastSender_ = nullptr;
    if (SettingsClient* client = Control->settingsClient())
        settings_->Release(client);
}

void TRudivoVoruParser::Loaded() {
    SetLoading(false);
    if (AutoScriptUpdate)
        CompileScript(*this);
    UpdateEditors();
}

void TRudivoVoruParser::ModifySelectedProperties(unsigned Pages) {
    if (OnModifyProperties) {
        OnModifyProperties(*this);
        return;
    }
    if (!OptionsDialog || !OptionsDialog(*this, Pages))
        return;
    UpdateEditors();
    if (!UseRegistry || RegistryKey.empty())
        return;
    if (SaveStyles)
        SaveStyles(*this);
    else
        StylesToRegistry();
}

bool TRudivoVoruParser::CustomParse(int ParseID, TEdStream& Stream, std::int32_t& kLength,
                                    std::int32_t& kValue) {
    if (!OnCustomParse)
        return false;
    return OnCustomParse(*this, ParseID, Stream, kLength, kValue);
}

void TRudivoVoruParser::GetLowestState() {
    activeTable_ = &tables_.StartTableFor(currentStates_);
    // Called whenever the states change: the plan is looked up again.
    plan_ = nullptr;
}

void TRudivoVoruParser::setCurrentStates(const TByteSet& states) {
    currentStates_ = states;
    GetLowestState();
}

void TRudivoVoruParser::ParseInit(std::uint8_t Index) {
    const TParserTables& tables = tables_;
    const TByteSet& context = tables.ContextStates(Index);
    currentStates_ = context.IsEmpty() ? tables.StartState() : context;
    savedStates_ = currentStates_;
    inContainer_ = false;
    containerEnd_ = 0;
    containerValue_ = 0;
    stack_.Clear();
    GetLowestState();
    // The tables may have been rebuilt since the last parse.
    tables_.RefreshGroupCache();
}

void TRudivoVoruParser::fail(TEdStream& s) {
    s.SetYYpos(tokenStart_ + 1);
    keywordMatched_ = false;
}

bool TRudivoVoruParser::callHandler(std::int64_t slot, TEdStream& s, std::int32_t& Len) {
    // Slots outside the table (an image may name any number) refuse.
    const TPredefinedHandler handler = PredefinedHandler(slot);
    return handler && handler(s, Len, tokenStart_);
}

bool TRudivoVoruParser::terminatorTest(const TSM_EndsAction& t, TEdStream& s, std::int32_t& Len, int ch) {
    if (t.IsHandler) {
        if (t.IsCustom) {
            std::int32_t kValue = 0;
            return CustomParse(t.HandlerIndex, s, Len, kValue);
        }
        return callHandler(t.HandlerIndex, s, Len);
    }
    const int count = t.Count < TSM_EndsAction::kMaxCharSets ? t.Count : TSM_EndsAction::kMaxCharSets;
    if (count == 0)
        return true;
    if (ch < 0 || !tables_.Members(t.CharSets[0]).Contains(static_cast<std::uint8_t>(ch)))
        return false;
    if (count == 1) {
        // The common look-ahead terminator: no movement unless included.
        if (t.Include) {
            s.yyadvance();
            ++Len;
        }
        return true;
    }
    const std::int32_t at = s.GetYYpos();
    s.yyadvance();
    for (int i = 1; i < count; ++i) {
        const int c = peek(s);
        if (c < 0 || !tables_.Members(t.CharSets[i]).Contains(static_cast<std::uint8_t>(c))) {
            s.SetYYpos(at);
            return false;
        }
        s.yyadvance();
    }
    if (t.Include)
        Len += count;
    else
        s.SetYYpos(at);
    return true;
}

bool TRudivoVoruParser::continuationStep(const TSM_SpecRec& c, TEdStream& s, std::int32_t& Len, int& value,
                                         int ch) {
    if (c.IsHandler) {
        if (c.IsCustom) {
            std::int32_t kValue = value;
            const bool ok = CustomParse(c.HandlerIndex, s, Len, kValue);
            value = kValue & 0xFF;
            return ok;
        }
        return callHandler(c.HandlerIndex, s, Len);
    }
    if (ch < 0 || !tables_.Members(c.CharSet).Contains(static_cast<std::uint8_t>(ch)))
        return false;
    s.yyadvance();
    ++Len;
    return true;
}

TRudivoVoruParser::Scan TRudivoVoruParser::scanHandler(const TSM_HandlerActions& h, TEdStream& s,
                                                       std::int32_t& Len, int& value) {
    const TSM_SpecRec& c = h.Continuation;
    const TSM_EndsAction& t = h.Terminator;
    const bool present = t.Present();
    bool check = c.Optional && present;
    if (!c.IsHandler && !t.IsHandler && t.Count == 1 && !t.Include) {
        // A run of one group up to a look-ahead group (a line comment, a
        // number's digits), in one tight loop with the general loop's steps.
        return runUpTo(s, GroupSets(tables_.Members(c.CharSet), tables_.Members(t.CharSets[0])), check, Len)
                   ? Scan::Complete
                   : Scan::Failed;
    }
    TByteSet inside;
    const bool groups = insideOf(tables_, c, t, inside);
    for (;;) {
        if (groups && check)
            Len += skipOver(s, inside);
        int ch = peek(s);
        // An unterminated construct ends with the text.
        if (ch < 0)
            return Scan::Complete;
        if (check) {
            if (terminatorTest(t, s, Len, ch))
                return Scan::Complete;
            if (t.IsHandler)
                ch = peek(s); // a custom terminator may have moved the scanner
        }
        check = present;
        if (c.IsHandler && !c.IsCustom && c.HandlerIndex >= kFirstTokenHandler &&
            c.HandlerIndex <= kLastTokenHandler)
            return callHandler(c.HandlerIndex - kTokenHandlerSlotOffset, s, Len) ? Scan::Complete
                                                                                 : Scan::Failed;
        const std::int32_t before = s.GetYYpos();
        if (!continuationStep(c, s, Len, value, ch))
            return Scan::Failed;
        // One unit without a terminator; and a step that consumed nothing
        // would repeat for ever.
        if (!present || s.GetYYpos() <= before)
            return Scan::Complete;
    }
}

void TRudivoVoruParser::scanStartTable(const TSM_TokenActions& e, TEdStream& s, std::int32_t& Len,
                                       int& value) {
    if (e.Start.IsHandler) {
        s.SetYYpos(tokenStart_);
        Len = 0;
        if (callHandler(std::int64_t{e.Start.HandlerIndex} - kTokenHandlerSlotOffset, s, Len))
            value = e.TokenValue;
        else
            fail(s);
        return;
    }
    const TSM_SpecRec& c = e.Continuation;
    const TSM_EndsAction& t = e.Terminator;
    bool check = c.Optional != 0;
    if (!c.IsHandler && !t.IsHandler && t.Count == 1 && !t.Include) {
        // The common shape (a run of one group up to a look-ahead group), in
        // one tight loop: the same steps as the general loop below.
        if (runUpTo(s, GroupSets(tables_.Members(c.CharSet), tables_.Members(t.CharSets[0])), check, Len)) {
            value = e.TokenValue;
        } else {
            fail(s);
            value = 0;
        }
        return;
    }
    TByteSet inside;
    const bool groups = insideOf(tables_, c, t, inside);
    for (;;) {
        if (groups && check)
            Len += skipOver(s, inside);
        int ch = peek(s);
        // A token that reaches the end of the text is complete there, also
        // when that end comes right after its first character.
        if (ch < 0) {
            value = e.TokenValue;
            return;
        }
        if (check) {
            if (terminatorTest(t, s, Len, ch)) {
                value = e.TokenValue;
                return;
            }
            if (t.IsHandler)
                ch = peek(s);
        }
        check = true;
        const std::int32_t before = s.GetYYpos();
        int kValue = value;
        if (!continuationStep(c, s, Len, kValue, ch)) {
            fail(s);
            value = 0;
            return;
        }
        if (c.IsHandler && c.IsCustom) {
            value = s.yyeof() ? e.TokenValue : kValue;
            return;
        }
        if (s.GetYYpos() <= before) {
            value = e.TokenValue;
            return;
        }
    }
}

void TRudivoVoruParser::popStates() {
    // A parse restarted in the middle of a document begins with an empty
    // stack, so a `pop` may find nothing: the states then stay as they are.
    if (stack_.IsEmpty())
        return;
    stack_.PopState(currentStates_);
    GetLowestState();
}

void TRudivoVoruParser::applyStateChange(const TSM_StateChanges& sc) {
    if (sc.StackOps & kPopBefore)
        popStates();
    else if (sc.StackOps & kPushBefore)
        stack_.PushState(currentStates_);
    if (!sc.NoChange) {
        // Most changes leave states that are not current (every token of a
        // C-like script leaves the one-token states): only a real change
        // selects the start table again.
        TByteSet next = currentStates_;
        next |= sc.Enter;
        next.Subtract(sc.Leave);
        if (next != currentStates_) {
            currentStates_ = next;
            GetLowestState();
        }
    }
    if (sc.StackOps & kPopAfter)
        popStates();
    else if (sc.StackOps & kPushAfter)
        stack_.PushState(currentStates_);
}

namespace {

// The length of a token made of `at[0..from)` and a run up to its
// look-ahead, read in place (see runUpTo): 0 when a character of neither
// group ends it, -1 when the look-ahead lies past `avail` characters.
inline std::int32_t runInPlace(const unsigned char* at, std::int32_t avail, std::int32_t from,
                               const TScanRun& run, bool optional) {
    std::int32_t n = from;
    if (!optional) {
        if (avail <= n)
            return -1;
        if (!run.More(at[n]))
            return 0;
        ++n;
    }
    while (n < avail && run.Go(at[n]))
        ++n;
    if (n >= avail)
        return -1;
    if (!run.Stop(at[n]))
        return 0;
    return run.Include ? n + 1 : n;
}

} // namespace

inline void TRudivoVoruParser::enterStatesAfter(TScanOutcome& out) {
    if (out.Stacked) {
        applyStateChange(*out.Stacked);
        if (!plan_)
            plan_ = plans_.Find(tables_, currentStates_);
        return;
    }
    // The first time: the plan of the states after the token.
    if (!out.Next)
        out.Next = plans_.Find(tables_, out.NextStates);
    if (!out.Next) {
        // More state sets than plans are kept for.
        currentStates_ = out.NextStates;
        GetLowestState();
    } else if (out.Next != plan_) {
        plan_ = out.Next;
        currentStates_ = plan_->States();
        activeTable_ = plan_->ActiveTable();
    }
}

[[gnu::always_inline]] inline bool TRudivoVoruParser::scanInPlace(TEdStream& s, std::int32_t& Len,
                                                                  std::uint8_t& value) {
    const unsigned char* at;
    const std::int32_t avail = s.Span(at);
    if (avail <= 0)
        return false;
    const TScanStep& step = plan_->Step(at[0]);
    if (step.Type == TScanStep::General)
        return false;
    // The extra keyword tables may change with the user's options; they are
    // asked here rather than planned.
    if (const TKeywords* extra = settings_->KeywordTables().Trie(); extra && extra->FirstNodeMatching(at[0]))
        return false;
    std::int32_t n = 0;
    std::uint8_t ended = 0;
    if (step.Direct) {
        // Most tokens: a run or a single character, no keyword to try first.
        n = step.Type == TScanStep::Run ? runInPlace(at, avail, 1, plan_->RunOf(step), step.Optional) : 1;
        if (n < 0)
            return false;
        ended = n > 0 ? step.Value : 0;
        n = n > 0 ? n : 1;
    } else {
        std::int32_t run = -1; // the step's run, once taken
        bool handlerFailed = false;
        if (step.TryKeywords) {
            const TEndData* keyword = nullptr;
            if (step.KeywordsAreRuns) {
                run = runInPlace(at, avail, 1, plan_->RunOf(step), step.Optional);
                if (run < 0)
                    return false;
                if (run > 0 && (keyword = plans_.Words().Match(at, run, avail, currentStates_)))
                    n = run;
            } else {
                const TSyntaxKeywords& keywords = std::as_const(tables_).Keywords();
                if (!keywords.MatchInPlace(at, avail, keywords.CaseSensitive(), currentStates_, keyword, n))
                    return false;
            }
            if (keyword) {
                ended = static_cast<std::uint8_t>(keyword->Data & 0xFF);
                const TScanOutcome& found = plan_->Outcome(ended);
                if (found.KeywordThenRun) {
                    // A line comment, the digits after "0x": the keyword's
                    // handler takes a run. When that fails, the start table
                    // takes the token as if there were no keyword.
                    n = runInPlace(at, avail, n, plan_->RunAfterKeyword(found), found.KeywordRunOptional);
                    if (n < 0)
                        return false;
                    if (n == 0) {
                        ended = 0;
                        handlerFailed = true;
                    }
                } else if (!found.KeywordPlain) {
                    return false;
                }
            }
        }
        if (n == 0 && !handlerFailed) {
            if (const TScanRun* zero = plan_->ZeroRun()) {
                n = runInPlace(at, avail, 1, *zero, plan_->ZeroRunOptional());
                if (n < 0)
                    return false;
            }
        }
        if (n == 0 && step.Type == TScanStep::ZeroOrGeneral)
            return false;
        if (n == 0) {
            if (step.Type == TScanStep::Run) {
                if (run < 0)
                    run = runInPlace(at, avail, 1, plan_->RunOf(step), step.Optional);
                if (run < 0)
                    return false;
                ended = run > 0 ? step.Value : 0;
                n = run > 0 ? run : 1;
            } else {
                ended = step.Value;
                n = 1;
            }
        }
    }
    TScanOutcome& out = plan_->Outcome(ended);
    if (out.OneChar) {
        // Not valid here: one character of value 0, and the states stay.
        s.Skip(1);
        value = 0;
        Len = 1;
        return true;
    }
    if (n < avail)
        s.SkipWithin(n);
    else
        s.Skip(n);
    enterStatesAfter(out);
    value = out.Value;
    Len = n;
    return true;
}

bool TRudivoVoruParser::scanPlanned(TEdStream& s, unsigned char c0, std::int32_t& Len, std::uint8_t& value,
                                    const TEndData*& keyword, std::int32_t& keywordLen) {
    if (!plan_) {
        plan_ = plans_.Find(tables_, currentStates_);
        if (!plan_)
            return false;
    }
    const TScanStep& step = plan_->Step(c0);
    if (step.Type == TScanStep::General || step.Type == TScanStep::ZeroOrGeneral ||
        (step.Type == TScanStep::Run && plan_->RunOf(step).Include))
        return false;
    if (const TKeywords* extra = settings_->KeywordTables().Trie(); extra && extra->FirstNodeMatching(c0))
        return false;
    const std::int32_t p0 = tokenStart_;
    std::uint8_t ended = step.Value;
    if (step.TryKeywords) {
        TSyntaxKeywords& keywords = tables_.KeywordsForScan();
        keywords.SetCurrentStates(currentStates_);
        std::int32_t startPos = 0, startOffset = 0;
        keyword = keywords.MatchStream(s, keywords.CaseSensitive(), true, keywordLen, startPos, startOffset);
        if (keyword) {
            ended = static_cast<std::uint8_t>(keyword->Data & 0xFF);
            if (!plan_->Outcome(ended).KeywordPlain)
                return false;
            keywordMatched_ = true;
        }
    } else {
        s.yyadvance();
    }
    bool zeroRan = false;
    if (const TScanRun* zero = keyword ? nullptr : plan_->ZeroRun()) {
        // The handler of value 0 goes on from the first character.
        zeroRan = runUpTo(s, *zero, plan_->ZeroRunOptional(), Len);
        if (zeroRan)
            ended = 0;
        else
            s.SetYYpos(p0 + 1);
    }
    if (!keyword && !zeroRan && step.Type == TScanStep::Run) {
        const TScanRun& run = plan_->RunOf(step);
        if (!runUpTo(s, run, step.Optional, Len)) {
            ended = 0;
            s.SetYYpos(p0 + 1);
        }
    }
    TScanOutcome& out = plan_->Outcome(ended);
    if (out.OneChar)
        s.SetYYpos(p0 + 1);
    else
        enterStatesAfter(out);
    value = out.Value;
    Len = s.GetYYpos() - p0;
    return true;
}

std::uint8_t TRudivoVoruParser::ParseStream(ParserClient* Sender, TEdStream& Stream, std::int32_t& Len) {
    if (Sender && Sender != lastSender_) {
        AttachEditor(Sender);
        lastSender_ = Sender;
    }
    // Most tokens: a plain token that lies in the current record.
    if (plan_ && !inContainer_ && plansGeneration_ == tables_.Generation()) {
        std::uint8_t planned = 0;
        if (scanInPlace(Stream, Len, planned))
            return planned;
    }
    return parseToken(Stream, Len);
}

std::uint8_t TRudivoVoruParser::parseToken(TEdStream& s, std::int32_t& Len) {
    const std::int32_t p0 = s.GetYYpos();
    tokenStart_ = p0;
    const unsigned char c0 = s.GetYYchar();
    keywordMatched_ = false;
    Len = 1;
    std::int32_t matchLen = 0, startPos = 0, startOffset = 0;
    const TEndData* entry = nullptr;
    if (plansGeneration_ != tables_.Generation()) {
        dropPlans();
        plansGeneration_ = tables_.Generation();
    }
    if (usePlans_ && !inContainer_) {
        std::uint8_t planned = 0;
        if (scanPlanned(s, c0, Len, planned, entry, matchLen))
            return planned;
    }
    int value = 0;
    bool fromKwTables = false;

    // Keywords: the main table first, then the extra tables (the plan may
    // have found a keyword already).
    TSyntaxKeywords& keywords = tables_.KeywordsForScan();
    // Most tokens start with a character that starts no word of the current
    // states (blanks, symbols, line breaks, words of other states): the
    // trie's first node says so, and the failed match would only step one
    // character on.
    const TKeywordNode* first = keywords.IsEmpty() || entry ? nullptr : keywords.FirstNodeMatching(c0);
    if (entry) {
        // found by the plan's look-up; the scanner stands after the keyword
    } else if (first && first->States.Meets(currentStates_)) {
        keywords.SetCurrentStates(currentStates_);
        entry = keywords.MatchStream(s, keywords.CaseSensitive(), true, matchLen, startPos, startOffset);
    } else {
        s.yyadvance();
    }
    if (!entry) {
        TKeywords* extra = settings_->KeywordTables().Trie();
        // Most tokens start with a character no extra word starts with: then
        // the scanner stays where the failed match left it, one past P0.
        if (extra && extra->FirstNodeMatching(c0)) {
            s.SetYYpos(p0);
            extra->SetCurrentStates(currentStates_);
            // The trie's own case flag, which travels with the image; the
            // script's flag is gone once an image has been read.
            entry = extra->MatchStream(s, extra->CaseSensitive(), true, matchLen, startPos, startOffset);
            fromKwTables = entry != nullptr;
        }
    }
    if (entry) {
        value = static_cast<int>(entry->Data & 0xFF);
        Len = matchLen;
        keywordMatched_ = true;
    }

    // The handler of the value found (also of value 0 when nothing was).
    bool complete = false;
    if (const TSM_HandlerActions* h = tables_.Handler(static_cast<std::uint8_t>(value))) {
        if (scanHandler(*h, s, Len, value) == Scan::Complete) {
            complete = true;
        } else {
            fail(s);
            value = 0;
            fromKwTables = false;
        }
    }

    // The start table, when no keyword stands.
    if (!complete && !keywordMatched_) {
        Len = 1;
        const TSM_TokenActions* e = activeTable_->Slots[c0].get();
        if (e && currentStates_.Meets(e->ValidStates))
            scanStartTable(*e, s, Len, value);
    }

    // Finish: the state change of the token, then the container bookkeeping.
    std::int32_t pos = s.GetYYpos();
    const TSM_StateChanges* sc = std::as_const(tables_).StateChanges(static_cast<std::uint8_t>(value));
    if (pos <= p0 || (sc && !fromKwTables && !currentStates_.Meets(sc->ValidIn))) {
        s.SetYYpos(p0 + 1);
        pos = p0 + 1;
        value = 0;
        sc = nullptr;
    }
    // The states before a container token come back after the token it
    // governs; they are read only then, so only a container saves them.
    if (!inContainer_ && sc && sc->IsContainer)
        savedStates_ = currentStates_;
    // Most tokens change nothing.
    if (sc && (!sc->NoChange || sc->StackOps))
        applyStateChange(*sc);

    const bool wasInContainer = inContainer_;
    if (wasInContainer) {
        if (pos >= containerEnd_ || s.yyeof())
            setCurrentStates(savedStates_);
        inContainer_ = pos < containerEnd_ && !s.yyeof();
    } else if (sc && sc->IsContainer) {
        containerEnd_ = pos;
        containerValue_ = static_cast<std::uint8_t>(value);
        inContainer_ = true;
    }

    Len = pos - p0;
    return static_cast<std::uint8_t>(value);
}

} // namespace qorvi
