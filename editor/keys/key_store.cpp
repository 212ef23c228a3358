#include "editor/keys/key_store.h"

#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"

namespace qorvi {
namespace {

constexpr bool hasKeyCode(TShortCut key) {
    return (key & 0xFF) != 0;
}

TKeyNode* findOnLevel(TKeyNode* head, TShortCut key) {
    for (TKeyNode* n = head; n; n = n->Sibling)
        if (n->Key == key)
            return n;
    return nullptr;
}

TKeyNode* lastOnLevel(TKeyNode* head) {
    while (head && head->Sibling)
        head = head->Sibling;
    return head;
}

} // namespace

TKeyStore::TKeyStore(ActionNamer nameOf) : nameOf_(std::move(nameOf)) {
}

TKeyNode* TKeyStore::newNode(TShortCut key) {
    nodes_.push_back(std::make_unique<TKeyNode>());
    nodes_.back()->Key = key;
    return nodes_.back().get();
}

void TKeyStore::duplicate(std::int32_t code, std::int32_t other) const {
    const std::string first = nameOf_ ? nameOf_(code) : std::to_string(code);
    const std::string second = nameOf_ ? nameOf_(other) : std::to_string(other);
    throw EAmbigiousKeyPair(formatMsg(kMsgDuplicateKeySequence, first, second));
}

void TKeyStore::DefineKeyAction(TShortCut Key1, TShortCut Key2, std::int32_t Code) {
    if (!hasKeyCode(Key1) || Code < 0)
        return;
    const bool chord = hasKeyCode(Key2);
    const TShortCut second = static_cast<TShortCut>(Key2 & 0xFF);
    TKeyNode* first = findOnLevel(root_, Key1);
    // Refusals come before any change, so a refused binding leaves no trace.
    if (first) {
        if (!chord) {
            duplicate(Code, first->Child ? first->Child->Action : first->Action);
        } else if (first->Terminal) {
            duplicate(Code, first->Action);
        } else if (const TKeyNode* existing = findOnLevel(first->Child, second)) {
            duplicate(Code, existing->Action);
        }
    }

    if (!first) {
        first = newNode(Key1);
        if (TKeyNode* last = lastOnLevel(root_))
            last->Sibling = first;
        else
            root_ = first;
    }
    if (!chord) {
        first->Terminal = true;
        first->Action = Code;
        return;
    }
    TKeyNode* node = findOnLevel(first->Child, second);
    if (!node) {
        node = newNode(second);
        node->First = first;
        if (TKeyNode* last = lastOnLevel(first->Child))
            last->Sibling = node;
        else
            first->Child = node;
    }
    node->Terminal = true;
    node->Action = Code;
}

bool TKeyStore::IsKeyActionDefined(TShortCut Key1, TShortCut Key2, std::int32_t& Code) const {
    Code = -1;
    const TKeyNode* first = findOnLevel(root_, Key1);
    if (!first)
        return false;
    const TKeyNode* node = findOnLevel(first->Child, static_cast<TShortCut>(Key2 & 0xFF));
    if (!node)
        return false;
    Code = node->Action;
    return true;
}

const TKeyNode* TKeyStore::Match(TShortCut shortCut) {
    TKeyNode* level = cursor_ ? cursor_ : root_;
    if (cursor_)
        shortCut = static_cast<TShortCut>(shortCut & 0xFF);
    TKeyNode* found = findOnLevel(level, shortCut);
    cursor_ = found && found->Child ? found->Child : nullptr;
    return found;
}

void TKeyStore::ForEachBinding(const std::function<void(TShortCut, TShortCut, std::int32_t)>& visit) const {
    std::vector<const TKeyNode*> stack;
    if (root_)
        stack.push_back(root_);
    while (!stack.empty()) {
        const TKeyNode* n = stack.back();
        stack.pop_back();
        if (n->Terminal) {
            if (n->First)
                visit(n->First->Key, n->Key, n->Action);
            else
                visit(n->Key, 0, n->Action);
        }
        // The sibling chain (with everything below it) comes before the children.
        if (n->Child)
            stack.push_back(n->Child);
        if (n->Sibling)
            stack.push_back(n->Sibling);
    }
}

void TKeyStore::ForEachBindingInTreeOrder(
    const std::function<void(TShortCut, TShortCut, std::int32_t)>& visit) const {
    for (const TKeyNode* first = root_; first; first = first->Sibling) {
        if (first->Terminal)
            visit(first->Key, 0, first->Action);
        for (const TKeyNode* second = first->Child; second; second = second->Sibling)
            if (second->Terminal)
                visit(first->Key, second->Key, second->Action);
    }
}

int TKeyStore::BindingCount() const {
    int count = 0;
    ForEachBinding([&](TShortCut, TShortCut, std::int32_t) { ++count; });
    return count;
}

int TKeyStore::GetNumKeyPairs(std::int32_t Code) const {
    int count = 0;
    ForEachBinding([&](TShortCut, TShortCut, std::int32_t action) { count += action == Code ? 1 : 0; });
    return count;
}

bool TKeyStore::findBinding(std::int32_t code, int index, TShortCut& key1, TShortCut& key2) const {
    key1 = key2 = 0;
    int seen = 0;
    bool found = false;
    ForEachBinding([&](TShortCut k1, TShortCut k2, std::int32_t action) {
        if (found || action != code)
            return;
        if (seen++ == index) {
            key1 = k1;
            key2 = k2;
            found = true;
        }
    });
    return found;
}

bool TKeyStore::GetFirstKeyPair(std::int32_t Code, TShortCut& Key1, TShortCut& Key2) {
    enumIndex_ = 0;
    return GetNextKeyPair(Code, Key1, Key2);
}

bool TKeyStore::GetNextKeyPair(std::int32_t Code, TShortCut& Key1, TShortCut& Key2) {
    const bool found = findBinding(Code, enumIndex_, Key1, Key2);
    if (found)
        ++enumIndex_;
    return found;
}

} // namespace qorvi
