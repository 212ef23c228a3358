#include "parser/scan_plans.h"

#include "parser/parser_tables.h"

namespace qorvi {

namespace {

// How a token of `value` ends in `states`, as the general path finishes a
// token found without the extra keyword tables.
TScanOutcome outcomeOf(const TParserTables& tables, const TByteSet& states, std::uint8_t value) {
    TScanOutcome out;
    out.Value = value;
    out.NextStates = states;
    const TSM_StateChanges* sc = tables.StateChanges(value);
    if (sc && !states.Meets(sc->ValidIn)) {
        out.Value = 0;
        out.OneChar = true;
    } else if (sc) {
        if (sc->IsContainer)
            return out;
        if (sc->StackOps) {
            // What a pop brings back is known only then.
            out.Stacked = sc;
        } else if (!sc->NoChange) {
            out.NextStates |= sc->Enter;
            out.NextStates.Subtract(sc->Leave);
        }
    }
    out.Plain = true;
    out.KeywordPlain = !tables.Handler(value);
    return out;
}

TScanRun runOf(const TParserTables& tables, const TSM_SpecRec& more, const TSM_EndsAction& stop) {
    TScanRun run;
    const TByteSet& moreSet = tables.Members(more.CharSet);
    const TByteSet& stopSet = tables.Members(stop.CharSets[0]);
    for (int c = 0; c < 256; ++c) {
        const auto ch = static_cast<std::uint8_t>(c);
        std::uint8_t& cls = run.Class[static_cast<std::size_t>(c)];
        cls = static_cast<std::uint8_t>((moreSet.Contains(ch) ? TScanRun::kMore : 0) |
                                        (stopSet.Contains(ch) ? TScanRun::kStop : 0));
        if (moreSet.Contains(ch) && !stopSet.Contains(ch))
            cls |= TScanRun::kGo;
    }
    run.Include = stop.Include != 0;
    return run;
}

// A run of one group up to a look-ahead group, without handlers.
bool isRun(const TSM_SpecRec& more, const TSM_EndsAction& stop) {
    return !more.IsHandler && !stop.IsHandler && stop.Count == 1 && !stop.Include;
}

// The characters a table that folds case reads as `c`.
std::array<unsigned char, 2> readAs(unsigned char c, bool fold) {
    const bool lower = fold && c >= 'a' && c <= 'z';
    return {c, lower ? static_cast<unsigned char>(c - 'a' + 'A') : c};
}

// Every character read as `c` has the class bit `need` in `run`.
bool allIn(const TScanRun& run, std::uint8_t need, unsigned char c, bool fold) {
    for (unsigned char variant : readAs(c, fold))
        if (!(run.Class[variant] & need))
            return false;
    return true;
}

// True when `word` followed by a character its entry accepts is exactly
// what the run of `step` takes, ended by its look-ahead: then the run and
// a look-up of its text find the keyword the trie walk would.
bool runsAsWord(const std::string& word, const TEndData& entry, const TScanStep& step, const TScanRun& run,
                bool fold) {
    if (run.Include)
        return false;
    for (int c = 0; c < 256; ++c)
        if (entry.Accepted.Contains(static_cast<std::uint8_t>(c)) && !run.Stop(static_cast<unsigned char>(c)))
            return false;
    if (!step.Optional && word.size() < 2)
        return false;
    for (std::size_t i = 1; i < word.size(); ++i) {
        const std::uint8_t need = (!step.Optional && i == 1) ? TScanRun::kMore : TScanRun::kGo;
        if (!allIn(run, need, static_cast<unsigned char>(word[i]), fold))
            return false;
    }
    return true;
}

} // namespace

TScanStep TScanPlan::planStep(const TParserTables& tables, unsigned char c) {
    TScanStep step;
    // A NUL may be the end of the text; a handler of value 0 that is no
    // plain run leaves every token to the general path.
    if (c == 0 || (tables.Handler(0) && !hasZeroRun_) || !outcomes_[0].Plain)
        return step;
    const TSyntaxKeywords& keywords = tables.Keywords();
    const TKeywordNode* first = keywords.IsEmpty() ? nullptr : keywords.FirstNodeMatching(c);
    step.TryKeywords = first && first->States.Meets(states_);

    const TSM_TokenActions* e = activeTable_->Slots[c].get();
    if (!e || !states_.Meets(e->ValidStates)) {
        step.Type = TScanStep::Single;
        return step;
    }
    const TSM_SpecRec& more = e->Continuation;
    const TSM_EndsAction& stop = e->Terminator;
    if (e->Start.IsHandler || more.IsHandler || stop.IsHandler || !outcomes_[e->TokenValue].Plain)
        return zeroOrGeneral(step);
    step.Value = e->TokenValue;
    if (more.Optional && stop.Count == 0) {
        // An optional continuation before an empty terminator (a line
        // break): the token ends straight after its first character.
        step.Type = TScanStep::Single;
    } else if (stop.Count == 1) {
        step.Type = TScanStep::Run;
        step.Optional = more.Optional != 0;
        step.RunIndex = internRun(runOf(tables, more, stop));
    } else {
        return zeroOrGeneral(step);
    }
    return step;
}

std::uint16_t TScanPlan::internRun(const TScanRun& run) {
    std::size_t index = 0;
    while (index < runs_.size() && !(runs_[index].Class == run.Class && runs_[index].Include == run.Include))
        ++index;
    if (index == runs_.size())
        runs_.push_back(run);
    return static_cast<std::uint16_t>(index);
}

TScanStep TScanPlan::zeroOrGeneral(TScanStep step) const {
    // Without a keyword, a run of the handler of value 0 makes the token
    // before the start table is asked.
    step.Type = hasZeroRun_ ? TScanStep::ZeroOrGeneral : TScanStep::General;
    step.Value = 0;
    return step;
}

void TScanPlan::markKeywordRuns(const TScanWords& words) {
    for (TScanStep& step : steps_)
        step.KeywordsAreRuns = step.Type == TScanStep::Run && step.TryKeywords;
    words.ForEachEntry([&](const std::string& word, const TEndData& entry) {
        if (word.empty() || !entry.States.Meets(states_))
            return;
        for (unsigned char c : readAs(static_cast<unsigned char>(word[0]), words.FoldsCase())) {
            TScanStep& step = steps_[c];
            if (step.KeywordsAreRuns &&
                !runsAsWord(word, entry, step, runs_[step.RunIndex], words.FoldsCase()))
                step.KeywordsAreRuns = false;
        }
    });
}

TScanPlan::TScanPlan(const TParserTables& tables, const TScanWords& words, const TByteSet& states)
    : states_(states), activeTable_(&tables.StartTableFor(states)) {
    for (int v = 0; v < 256; ++v)
        outcomes_[static_cast<std::size_t>(v)] = outcomeOf(tables, states, static_cast<std::uint8_t>(v));
    if (const TSM_HandlerActions* zero = tables.Handler(0);
        zero && isRun(zero->Continuation, zero->Terminator)) {
        hasZeroRun_ = true;
        zeroRunOptional_ = zero->Continuation.Optional != 0;
        zeroRun_ = runOf(tables, zero->Continuation, zero->Terminator);
    }
    runs_.reserve(16);
    for (int v = 0; v < 256; ++v) {
        TScanOutcome& out = outcomes_[static_cast<std::size_t>(v)];
        const TSM_HandlerActions* h = tables.Handler(static_cast<std::uint8_t>(v));
        // Only the common path reads these runs, so the run may also take
        // its last character (the > of an #include <header>).
        const bool run =
            h && !h->Continuation.IsHandler && !h->Terminator.IsHandler && h->Terminator.Count == 1;
        if (out.Plain && run) {
            out.KeywordThenRun = true;
            out.KeywordRunOptional = h->Continuation.Optional != 0;
            out.KeywordRun = internRun(runOf(tables, h->Continuation, h->Terminator));
        }
    }
    for (int c = 0; c < 256; ++c)
        steps_[static_cast<std::size_t>(c)] = planStep(tables, static_cast<unsigned char>(c));
    markKeywordRuns(words);
    for (TScanStep& step : steps_)
        step.Direct = (step.Type == TScanStep::Single || step.Type == TScanStep::Run) && !step.TryKeywords &&
                      !hasZeroRun_;
}

TScanPlan* TScanPlans::Find(const TParserTables& tables, const TByteSet& states) {
    for (TScanPlan& plan : plans_)
        if (plan.States() == states)
            return &plan;
    if (plans_.size() >= kMaxPlans)
        return nullptr;
    if (!words_.Built())
        words_.Build(tables.Keywords());
    return &plans_.emplace_back(tables, words_, states);
}

} // namespace qorvi
