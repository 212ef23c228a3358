#include "parser/parser_image.h"

#include "editor/support/stream_fields.h"
#include "parser/parser_tables.h"

namespace qorvi {

namespace {

// The fewest bytes each record takes in the image, for checking counts.
constexpr std::int64_t kSpecRecMin = 1 + TSM_CharGroup::kMinStreamBytes + 1;
constexpr std::int64_t kEndsActionMin = 3;
constexpr std::int64_t kTokenActionsMin = kSpecRecMin + TByteSet::kBytes + kSpecRecMin + kEndsActionMin + 1;
constexpr std::int64_t kHandlerEntryMin = 1 + kSpecRecMin + kEndsActionMin;
constexpr std::int64_t kStartEntryMin = 1 + kTokenActionsMin;
constexpr std::int64_t kContextEntryMin = 1 + TByteSet::kBytes;
constexpr std::int64_t kStateChangeEntryMin = 1 + TSM_StateChanges::kStreamBytes;
constexpr std::int64_t kStateTableMin = 1 + 4;
constexpr std::int64_t kStateEntryMin = 1 + kTokenActionsMin + 4;
constexpr std::int64_t kWideNodeMin = 2 + 2 + kTokenActionsMin;

void corruptData() {
    throw EStreamError(kMsgInvalidStreamData);
}

// --- Writing ---

void writeGroup(const TParserTables& tables, TStream& s, std::uint16_t id) {
    tables.GroupOf(id).SaveToStream(s);
}

void writeSpec(const TParserTables& tables, TStream& s, const TSM_SpecRec& spec) {
    SWriteByte(s, spec.Optional);
    writeGroup(tables, s, spec.CharSet);
    SWriteByte(s, spec.IsHandler);
    if (spec.IsHandler) {
        SWriteByte(s, spec.IsCustom);
        SWriteLongint(s, spec.HandlerIndex);
    }
}

void writeEnds(const TParserTables& tables, TStream& s, const TSM_EndsAction& ends) {
    SWriteByte(s, ends.Include);
    SWriteByte(s, ends.IsHandler);
    if (ends.IsHandler) {
        SWriteByte(s, ends.IsCustom);
        SWriteLongint(s, ends.HandlerIndex);
        return;
    }
    const std::uint8_t count =
        ends.Count < TSM_EndsAction::kMaxCharSets ? ends.Count : TSM_EndsAction::kMaxCharSets;
    SWriteByte(s, count);
    for (int i = 0; i < count; ++i)
        writeGroup(tables, s, ends.CharSets[i]);
}

void writeTokenActions(const TParserTables& tables, TStream& s, const TSM_TokenActions& actions) {
    if (actions.Start.IsHandler) {
        // A whole-token handler uses neither continuation nor terminator:
        // they go out as zeros with empty groups.
        SWriteByte(s, 0);
        writeGroup(tables, s, actions.Start.CharSet);
        SWriteByte(s, actions.Start.IsHandler);
        SWriteByte(s, actions.Start.IsCustom);
        SWriteLongint(s, actions.Start.HandlerIndex);
        SWriteSet(s, actions.ValidStates);
        SWriteByte(s, 0);
        TSM_CharGroup().SaveToStream(s);
        SWriteByte(s, 0);
        SWriteByte(s, 0);
        SWriteByte(s, 0);
        SWriteByte(s, 0);
    } else {
        writeSpec(tables, s, actions.Start);
        SWriteSet(s, actions.ValidStates);
        writeSpec(tables, s, actions.Continuation);
        writeEnds(tables, s, actions.Terminator);
    }
    SWriteByte(s, actions.TokenValue);
}

void writeStateChanges(TStream& s, const TSM_StateChanges& sc) {
    SWriteSet(s, sc.ValidIn);
    SWriteSet(s, sc.Enter);
    SWriteSet(s, sc.Leave);
    SWriteByte(s, sc.IsContainer);
    SWriteByte(s, sc.NoChange);
    SWriteByte(s, sc.StackOps);
}

void writeWideList(const TParserTables& tables, TStream& s, const TSM_StatesTable& table) {
    SWriteLongint(s, static_cast<std::int32_t>(table.Wide.size()));
    for (const TSM_WideActions& node : table.Wide) {
        SWriteWord(s, node.Lo);
        SWriteWord(s, node.Hi);
        if (node.Actions)
            writeTokenActions(tables, s, *node.Actions);
        else
            writeTokenActions(tables, s, TSM_TokenActions{});
    }
}

int countSlots(const TSM_StatesTable& table) {
    int n = 0;
    for (const auto& slot : table.Slots)
        n += slot != nullptr;
    return n;
}

// --- Reading ---

std::uint16_t readGroup(TParserTables& tables, TStream& s) {
    TSM_CharGroup group;
    group.LoadFromStream(s);
    return tables.InternGroup(group);
}

TSM_SpecRec readSpec(TParserTables& tables, TStream& s) {
    TSM_SpecRec spec;
    spec.Optional = SReadByte(s);
    spec.CharSet = readGroup(tables, s);
    spec.IsHandler = SReadByte(s);
    if (spec.IsHandler) {
        spec.IsCustom = SReadByte(s);
        spec.HandlerIndex = SReadLongint(s);
    }
    return spec;
}

TSM_EndsAction readEnds(TParserTables& tables, TStream& s) {
    TSM_EndsAction ends;
    ends.Include = SReadByte(s);
    ends.IsHandler = SReadByte(s);
    if (ends.IsHandler) {
        ends.IsCustom = SReadByte(s);
        ends.HandlerIndex = SReadLongint(s);
        return ends;
    }
    ends.Count = SReadByte(s);
    if (ends.Count > TSM_EndsAction::kMaxCharSets)
        corruptData();
    for (int i = 0; i < ends.Count; ++i)
        ends.CharSets[i] = readGroup(tables, s);
    return ends;
}

TSM_TokenActions readTokenActions(TParserTables& tables, TStream& s) {
    TSM_TokenActions actions;
    actions.Start = readSpec(tables, s);
    actions.ValidStates = SReadSet(s);
    actions.Continuation = readSpec(tables, s);
    actions.Terminator = readEnds(tables, s);
    actions.TokenValue = SReadByte(s);
    return actions;
}

TSM_StateChanges readStateChanges(TStream& s) {
    TSM_StateChanges sc;
    sc.ValidIn = SReadSet(s);
    sc.Enter = SReadSet(s);
    sc.Leave = SReadSet(s);
    sc.IsContainer = SReadByte(s);
    sc.NoChange = SReadByte(s);
    sc.StackOps = SReadByte(s);
    return sc;
}

std::vector<TSM_WideActions> readWideList(TParserTables& tables, TStream& s) {
    const std::int32_t count = SReadCount(s, kWideNodeMin);
    std::vector<TSM_WideActions> list;
    list.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        TSM_WideActions node;
        node.Lo = SReadWord(s);
        node.Hi = SReadWord(s);
        node.Actions = std::make_unique<TSM_TokenActions>(readTokenActions(tables, s));
        list.push_back(std::move(node));
    }
    return list;
}

} // namespace

void WriteParserTables(const TParserTables& tables, TStream& image) {
    tables.Keywords().SaveToStream(image);

    int n = 0;
    for (int v = 0; v < 256; ++v)
        n += tables.Handler(static_cast<std::uint8_t>(v)) != nullptr;
    SWriteLongint(image, n);
    for (int v = 0; v < 256; ++v) {
        if (const TSM_HandlerActions* h = tables.Handler(static_cast<std::uint8_t>(v))) {
            SWriteByte(image, static_cast<std::uint8_t>(v));
            writeSpec(tables, image, h->Continuation);
            writeEnds(tables, image, h->Terminator);
        }
    }

    const TSM_StatesTable& start = tables.StartTable();
    SWriteLongint(image, countSlots(start));
    for (int c = 0; c < 256; ++c) {
        if (const auto& e = start.Slots[static_cast<std::size_t>(c)]) {
            SWriteByte(image, static_cast<std::uint8_t>(c));
            writeTokenActions(tables, image, *e);
        }
    }

    // A context set equal to the start state is what an absent one means.
    n = 0;
    for (int v = 0; v < 256; ++v)
        n += tables.ContextStates(static_cast<std::uint8_t>(v)) != tables.StartState();
    SWriteLongint(image, n);
    for (int v = 0; v < 256; ++v) {
        const TByteSet& context = tables.ContextStates(static_cast<std::uint8_t>(v));
        if (context != tables.StartState()) {
            SWriteByte(image, static_cast<std::uint8_t>(v));
            SWriteSet(image, context);
        }
    }

    n = 0;
    for (int v = 0; v < 256; ++v)
        n += tables.StateChanges(static_cast<std::uint8_t>(v)) != nullptr;
    SWriteLongint(image, n);
    for (int v = 0; v < 256; ++v) {
        if (const TSM_StateChanges* sc = tables.StateChanges(static_cast<std::uint8_t>(v))) {
            SWriteByte(image, static_cast<std::uint8_t>(v));
            writeStateChanges(image, *sc);
        }
    }

    n = 0;
    for (int st = 0; st < 256; ++st)
        n += tables.StateTable(static_cast<std::uint8_t>(st)) != nullptr;
    SWriteLongint(image, n);
    for (int st = 0; st < 256; ++st) {
        const TSM_StatesTable* table = tables.StateTable(static_cast<std::uint8_t>(st));
        if (!table)
            continue;
        SWriteByte(image, static_cast<std::uint8_t>(st));
        SWriteLongint(image, countSlots(*table));
        for (int c = 0; c < 256; ++c) {
            if (const auto& e = table->Slots[static_cast<std::size_t>(c)]) {
                SWriteByte(image, static_cast<std::uint8_t>(c));
                writeTokenActions(tables, image, *e);
                writeWideList(tables, image, *table);
            }
        }
    }

    SWriteSet(image, tables.Anchor());
    SWriteSet(image, tables.BoundStates());
    SWriteSet(image, tables.StartState());
    SWriteByte(image, tables.UsesCustomMatch());
}

void ReadParserTables(TParserTables& tables, TStream& image) {
    tables.Keywords().LoadFromStream(image);
    tables.InvalidateGroupCache();

    std::int32_t n = SReadCount(image, kHandlerEntryMin);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint8_t value = SReadByte(image);
        TSM_HandlerActions h;
        h.Continuation = readSpec(tables, image);
        h.Terminator = readEnds(tables, image);
        tables.SetHandler(value, h);
    }

    n = SReadCount(image, kStartEntryMin);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint8_t c = SReadByte(image);
        TParserTables::SetTokenActions(tables.StartTable(), c, readTokenActions(tables, image));
    }

    n = SReadCount(image, kContextEntryMin);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint8_t value = SReadByte(image);
        tables.ContextStates(value) = SReadSet(image);
    }

    n = SReadCount(image, kStateChangeEntryMin);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint8_t value = SReadByte(image);
        tables.SetStateChanges(value, readStateChanges(image));
    }

    n = SReadCount(image, kStateTableMin);
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint8_t state = SReadByte(image);
        TSM_StatesTable& table = tables.NewStateTable(state);
        const std::int32_t entries = SReadCount(image, kStateEntryMin);
        for (std::int32_t k = 0; k < entries; ++k) {
            const std::uint8_t c = SReadByte(image);
            TParserTables::SetTokenActions(table, c, readTokenActions(tables, image));
            // Every entry carries the table's whole range list; the last copy stands.
            table.Wide = readWideList(tables, image);
        }
    }

    tables.Anchor() = SReadSet(image);
    tables.BoundStates() = SReadSet(image);
    tables.StartState() = SReadSet(image);
    tables.SetUsesCustomMatch(SReadByte(image));
    tables.UpdateNoStateTables();
}

} // namespace qorvi
