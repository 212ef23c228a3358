#include "app/key_assignments.h"

#include "editor/keys/keyboard_action_controller.h"

#include <algorithm>
#include <set>

namespace qorvi {

KeyAssignments::KeyAssignments(TKeyboardActionContoller& keyMap) : keyMap_(keyMap) {
}

std::vector<std::string> KeyAssignments::commands() const {
    std::vector<std::string> names;
    for (const auto& [name, code] : keyMap_.ActionNames())
        names.push_back(name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<KeyPair> KeyAssignments::boundPairs(std::int32_t code) {
    std::vector<KeyPair> out;
    TShortCut k1 = 0, k2 = 0;
    keyMap_.GetFirstKeyPair(code, k1, k2);
    while (k1 != 0) {
        out.push_back({k1, k2});
        keyMap_.GetNextKeyPair(code, k1, k2);
    }
    return out;
}

KeyAssignments::Record& KeyAssignments::record(const std::string& command) {
    Record& r = records_[command];
    if (r.code < 0)
        for (const auto& [name, code] : keyMap_.ActionNames())
            if (name == command)
                r.code = code;
    if (!r.loaded && !r.changed && r.pairs.empty() && r.code >= 0) {
        r.pairs = boundPairs(r.code);
        r.loaded = true;
    }
    return r;
}

const std::vector<KeyPair>& KeyAssignments::pairs(const std::string& command) {
    return record(command).pairs;
}

std::string KeyAssignments::pairText(const KeyPair& pair) {
    const std::string second = pair.second ? shortCutToText(pair.second) : "<none>";
    return "[" + shortCutToText(pair.first) + "]  [" + second + "]";
}

std::vector<std::string> KeyAssignments::pairTexts(const std::string& command) {
    std::vector<std::string> texts;
    for (const KeyPair& p : pairs(command))
        texts.push_back(pairText(p));
    return texts;
}

void KeyAssignments::add(const std::string& command, const KeyPair& pair) {
    Record& r = record(command);
    r.pairs.push_back(pair);
    r.changed = true;
}

void KeyAssignments::replace(const std::string& command, std::size_t index, const KeyPair& pair) {
    Record& r = record(command);
    if (index >= r.pairs.size())
        return;
    r.pairs[index] = pair;
    r.changed = true;
}

void KeyAssignments::remove(const std::string& command, std::size_t index) {
    Record& r = record(command);
    if (index >= r.pairs.size())
        return;
    r.pairs.erase(r.pairs.begin() + static_cast<std::ptrdiff_t>(index));
    r.changed = true;
}

void KeyAssignments::apply() {
    TKeyboardActionContoller built;
    for (const auto& [name, code] : keyMap_.ActionNames())
        built.SetActionCodeName(code, name);
    std::set<std::int32_t> done;
    for (const auto& [name, code] : keyMap_.ActionNames()) {
        if (!done.insert(code).second)
            continue;
        const auto it = records_.find(name);
        const std::vector<KeyPair> pairs = it != records_.end() && (it->second.loaded || it->second.changed)
                                               ? it->second.pairs
                                               : boundPairs(code);
        for (const KeyPair& p : pairs)
            built.DefineKeyAction(p.first, p.second, code);
    }
    keyMap_.Assign(built);
}

} // namespace qorvi
