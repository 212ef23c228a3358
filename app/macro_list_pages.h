#pragma once

// The auto-replace and code-template pages of the editor options dialog:
// their list lines, what their two buttons read, and the edits they make
// to the working settings' lists.

#include "platform/keys.h"

#include <string>
#include <vector>

namespace qorvi {

class TAutoReplace;
class TCodeTemplates;
struct TMacroEntry;

// The first button reads "Add"; the second "Delete" or "Replace".
struct MacroButtons {
    bool addEnabled = false;
    std::string second = "Delete";
    bool secondEnabled = false;
};

class AutoReplacePage {
public:
    explicit AutoReplacePage(TAutoReplace& list);

    // "word" TAB "replacement", or the word alone; sorted.
    const std::vector<std::string>& lines() const { return lines_; }
    MacroButtons buttons(const std::string& word, const std::string& replacement) const;
    void add(const std::string& word, const std::string& replacement);
    void replace(const std::string& word, const std::string& replacement);
    // Removes the word's line; the line to select next, or -1.
    int remove(const std::string& word);
    std::string activateKeys() const;
    // Raises the list's error for a bad text and keeps the old keys.
    void setActivateKeys(const std::string& text);

private:
    int find(const std::string& word) const;
    void rebuild();

    TAutoReplace& list_;
    std::vector<std::string> lines_;
};

class TemplatesPage {
public:
    explicit TemplatesPage(TCodeTemplates& templates);

    // "name" TAB "description", or the name alone; sorted.
    std::vector<std::string> lines() const;
    // The template of a name, or null.
    const TMacroEntry* find(const std::string& name) const;
    MacroButtons buttons(const std::string& name, const std::string& description,
                         const std::string& text) const;
    void define(const std::string& name, const std::string& description, const std::string& text);
    void remove(const std::string& name);
    std::string hotKeyText() const;
    // Only combinations with Ctrl, Alt or both are taken; false otherwise.
    bool setHotKey(TShortCut key);

private:
    TCodeTemplates& templates_;
};

} // namespace qorvi
