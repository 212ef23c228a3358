#include "app/macro_list_pages.h"

#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"

#include <algorithm>
#include <cctype>

namespace qorvi {

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string lineOf(const std::string& first, const std::string& second) {
    return second.empty() ? first : first + '\t' + second;
}

// The part before the first TAB, and the rest.
std::pair<std::string, std::string> splitLine(const std::string& line) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos)
        return {line, ""};
    return {line.substr(0, tab), line.substr(tab + 1)};
}

} // namespace

AutoReplacePage::AutoReplacePage(TAutoReplace& list) : list_(list) {
    for (const auto& entry : list_.Entries())
        lines_.push_back(lineOf(entry->Name, entry->Replacement));
    std::sort(lines_.begin(), lines_.end());
}

int AutoReplacePage::find(const std::string& word) const {
    // Words are kept lower-cased, so "Teh" and "teh" are one word.
    const std::string key = lower(word);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lower(splitLine(lines_[i]).first) == key)
            return static_cast<int>(i);
    return -1;
}

MacroButtons AutoReplacePage::buttons(const std::string& word, const std::string& replacement) const {
    MacroButtons b;
    const int at = find(word);
    b.addEnabled = !word.empty() && at < 0;
    if (at >= 0) {
        b.secondEnabled = true;
        b.second =
            splitLine(lines_[static_cast<std::size_t>(at)]).second == replacement ? "Delete" : "Replace";
    }
    return b;
}

void AutoReplacePage::add(const std::string& word, const std::string& replacement) {
    if (word.empty() || find(word) >= 0)
        return;
    lines_.push_back(word + '\t' + replacement);
    std::sort(lines_.begin(), lines_.end());
    rebuild();
}

void AutoReplacePage::replace(const std::string& word, const std::string& replacement) {
    const int at = find(word);
    if (at < 0)
        return;
    lines_.erase(lines_.begin() + at);
    add(word, replacement);
}

int AutoReplacePage::remove(const std::string& word) {
    const int at = find(word);
    if (at < 0)
        return -1;
    lines_.erase(lines_.begin() + at);
    rebuild();
    if (lines_.empty())
        return -1;
    return std::min(at, static_cast<int>(lines_.size()) - 1);
}

std::string AutoReplacePage::activateKeys() const {
    return list_.ActivateKeyText();
}

void AutoReplacePage::setActivateKeys(const std::string& text) {
    list_.SetActivateKeys(text);
}

void AutoReplacePage::rebuild() {
    const std::string keys = list_.ActivateKeyText();
    list_.Clear();
    for (const auto& line : lines_) {
        const auto [word, replacement] = splitLine(line);
        list_.AddEntry(word, replacement);
    }
    list_.SetActivateKeys(keys);
}

TemplatesPage::TemplatesPage(TCodeTemplates& templates) : templates_(templates) {
}

std::vector<std::string> TemplatesPage::lines() const {
    std::vector<std::string> out;
    for (const auto& entry : templates_.Entries())
        out.push_back(lineOf(entry->Name, entry->Description));
    std::sort(out.begin(), out.end());
    return out;
}

const TMacroEntry* TemplatesPage::find(const std::string& name) const {
    return name.empty() ? nullptr : templates_.FindEntry(name);
}

MacroButtons TemplatesPage::buttons(const std::string& name, const std::string& description,
                                    const std::string& text) const {
    MacroButtons b;
    const TMacroEntry* entry = find(name);
    b.addEnabled = !name.empty() && !entry;
    if (entry) {
        b.secondEnabled = true;
        b.second = entry->Description == description && entry->Replacement == text ? "Delete" : "Replace";
    }
    return b;
}

void TemplatesPage::define(const std::string& name, const std::string& description, const std::string& text) {
    if (!name.empty())
        templates_.Define(name, description, text);
}

void TemplatesPage::remove(const std::string& name) {
    if (find(name))
        templates_.Remove(name);
}

std::string TemplatesPage::hotKeyText() const {
    return shortCutToText(templates_.HotKey);
}

bool TemplatesPage::setHotKey(TShortCut key) {
    if ((key & 0xFF) == 0 || (key & (scCtrl | scAlt)) == 0)
        return false;
    templates_.HotKey = key;
    return true;
}

} // namespace qorvi
