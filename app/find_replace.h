#pragma once

// `TfrmFindRep`'s logic: the find and replace texts with their histories,
// the options, and the searches it runs in the attached document's editor
// through the control's immediate search. One object serves every document
// window; the Qt dialog shows and edits its fields.

#include "app/document_editor.h"
#include "platform/shell_ui.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qorvi {

class FindReplace {
public:
    static constexpr std::size_t kHistoryLength = 20;

    explicit FindReplace(ShellUi& ui) : ui_(ui) {}

    // The dialog's fields. The texts are Unicode (UTF-8); each search turns
    // them into the document's bytes.
    std::string findText;
    std::string replaceText;
    bool caseSensitive = false;
    bool wholeWord = false;
    bool regExpression = false;
    bool backwards = false;
    bool prompt = false;
    const std::vector<std::string>& findHistory() const { return findHistory_; }
    const std::vector<std::string>& replaceHistory() const { return replaceHistory_; }

    // The editor searched (null when none); a closing document detaches.
    void attach(DocumentEditor* editor) { editor_ = editor; }
    DocumentEditor* attached() const { return editor_; }
    // The control's search flags for the options.
    std::int32_t flags() const;

    // Searches for `text` (empty: the find text) from the selection and
    // selects the match; "Nothing to find" when there is no text.
    bool find(const std::string& text = {});
    // Replaces the selection when it is a match of this search, then finds
    // the next match.
    bool replaceAndFindNext();
    struct ReplaceAllCount {
        int found = 0;
        int replaced = 0;
    };
    // Every match from the selection on, asking about each when `prompt`.
    ReplaceAllCount replaceAll();

    // The buttons and Enter in the two text boxes.
    void findButton();
    void replaceButton();
    void replaceAllButton();
    void enterInFind();
    void enterInReplace();

    // The document window's searches, without showing the dialog.
    bool findIn(DocumentEditor& editor, const std::string& text);
    void searchAgain(DocumentEditor& editor);
    void searchCurrentWord(DocumentEditor& editor);

private:
    // `text` as the attached document's bytes; nothing when the document
    // cannot hold one of its characters (the editor has said so).
    std::optional<std::string> inDocument(const std::string& text);
    // A text of the dialog inside a message, which is Windows-1252.
    static std::string shown(const std::string& text);
    bool selectionIsMatch();
    void noMoreFound();
    static void remember(std::vector<std::string>& history, const std::string& text);

    ShellUi& ui_;
    DocumentEditor* editor_ = nullptr;
    bool cancelled_ = false; // the last search was cancelled, not fruitless
    bool refused_ = false;   // the last Replace All had a text the document cannot hold
    std::vector<std::string> findHistory_;
    std::vector<std::string> replaceHistory_;
};

} // namespace qorvi
