#include "parser/scan_plans.h"

#include "parser/parser_tables.h"

namespace qorvi {

namespace {

// The outcome of a token of `value` in `states`, as the general path finishes
// it (a token found without the extra keyword tables); not Plain when that
// needs the general path (a container or a stack operation).
TScanOutcome outcomeOf(const TParserTables& tables, const TByteSet& states, std::uint8_t value) {
    TScanOutcome out;
    out.Value = value;
    out.NextStates = states;
    const TSM_StateChanges* sc = tables.StateChanges(value);
    if (sc && !states.Meets(sc->ValidIn)) {
        out.Value = 0;
        out.OneChar = true;
    } else if (sc) {
        if (sc->IsContainer || sc->StackOps)
            return out;
        if (!sc->NoChange) {
            out.NextStates |= sc->Enter;
            out.NextStates.Subtract(sc->Leave);
        }
    }
    out.Plain = true;
    return out;
}

TScanStep planStep(const TParserTables& tables, const TByteSet& states, const TSM_StatesTable& active,
                   unsigned char c) {
    TScanStep step;
    // A NUL may be the end of the text; a handler of value 0 runs on every
    // token that is not a keyword.
    if (c == 0 || tables.Handler(0))
        return step;
    const TSyntaxKeywords& keywords = tables.Keywords();
    const TKeywordNode* first = keywords.IsEmpty() ? nullptr : keywords.FirstNodeMatching(c);
    step.TryKeywords = first && first->States.Meets(states);

    const TSM_TokenActions* e = active.Slots[c].get();
    const bool started = e && states.Meets(e->ValidStates);
    const TSM_SpecRec* more = started ? &e->Continuation : nullptr;
    const TSM_EndsAction* stop = started ? &e->Terminator : nullptr;
    if (started && (e->Start.IsHandler || more->IsHandler || stop->IsHandler))
        return TScanStep{};
    if (!started || (more->Optional && stop->Count == 0)) {
        // No entry: one character of value 0. An optional continuation
        // before an empty terminator (a line break) ends straight away.
        step.Success = outcomeOf(tables, states, started ? e->TokenValue : 0);
        step.Failure = step.Success;
        step.Type = TScanStep::Single;
    } else if (stop->Count == 1 && !stop->Include) {
        step.Success = outcomeOf(tables, states, e->TokenValue);
        step.Failure = outcomeOf(tables, states, 0);
        step.Type = TScanStep::Run;
        step.Optional = more->Optional != 0;
        step.More = tables.Members(more->CharSet);
        step.Stop = tables.Members(stop->CharSets[0]);
        step.Go = step.More;
        step.Go.Subtract(step.Stop);
    }
    if (!step.Success.Plain || !step.Failure.Plain)
        return TScanStep{};
    return step;
}

} // namespace

TScanPlan::TScanPlan(const TParserTables& tables, const TByteSet& states)
    : states_(states), activeTable_(&tables.StartTableFor(states)) {
    for (int c = 0; c < 256; ++c)
        steps_[static_cast<std::size_t>(c)] =
            planStep(tables, states, *activeTable_, static_cast<unsigned char>(c));
    // A keyword with a handler goes on scanning after the word.
    for (int v = 0; v < 256; ++v)
        if (!tables.Handler(static_cast<std::uint8_t>(v)))
            keywordOutcomes_[static_cast<std::size_t>(v)] = outcomeOf(tables, states, static_cast<std::uint8_t>(v));
}

TScanPlan* TScanPlans::Find(const TParserTables& tables, const TByteSet& states) {
    for (TScanPlan& plan : plans_)
        if (plan.States() == states)
            return &plan;
    if (plans_.size() >= kMaxPlans)
        return nullptr;
    return &plans_.emplace_back(tables, states);
}

} // namespace qorvi
