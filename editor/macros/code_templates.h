#pragma once

// Code templates: named texts expanded at the caret with the hot key
// (Ctrl+J), or picked from a pop-up list. Templates come from a parser
// script, from the options dialog, or from a template text file:
//
//   [name | description]
//   body line 1
//   body line 2
//
// Reading accepts LF, CR LF and CR line breaks; a body runs to the next line
// that starts with "[", so a body line starting with "[" begins a new
// template. Files are written with LF line breaks.

#include "editor/macros/macro_keywords.h"

#include <string>
#include <string_view>

namespace qorvi {

class TCodeTemplates : public TMacroKeywords {
public:
    TCodeTemplates() : TMacroKeywords(true) {}

    // Replaces or adds a template (name case-insensitive).
    void Define(std::string_view Name, std::string_view Description, std::string_view Text);
    void ChangeValue(std::string_view Name, std::string_view Description, std::string_view Text) {
        Define(Name, Description, Text);
    }
    // Deletes the template of that name and rebuilds the trie.
    void Remove(std::string_view Name);
    // Empties the list (and the trie).
    void Clear() override;
    // True while the list has never been filled or was reset.
    bool GetIsEmpty() const { return !ListCreated(); }
    // Whether a template of exactly that name exists; Text receives its text.
    bool IsTemplateKnown(std::string_view Name, std::string& Text) const;

    // Only a TCodeTemplates (or a derived list) may be assigned, else
    // ERudivoVoru "Cannot assign %s to %s". Between different classes only
    // the template part is copied.
    void Assign(const TSM_Base& Source) override;
    // Entry count, per entry (list order): short string name, description
    // (length byte + characters), replacement (32-bit length + characters);
    // the hot key as a long string ("Ctrl+J"); Active as one byte. Loading
    // builds a new list and takes it over only when all of it was read.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TCodeTemplates"; }

    // The template file. Loading raises EFOpenError "Cannot open file "%s"
    // for reading" for a missing file and replaces the list only when the
    // whole file was read; saving writes a temp file beside the target and
    // renames it over the target.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    // The file text of the templates, and the templates of a file text.
    std::string TemplatesAsText() const;
    void TemplatesFromText(std::string_view text);

protected:
    explicit TCodeTemplates(bool templateFlags) : TMacroKeywords(templateFlags) {}
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TCodeTemplates>(); }

    void saveTemplates(TStream& stream) const;
    void loadTemplates(TStream& stream);
    // Takes the templates of `other` (of the same class), which is left empty.
    virtual void takeContents(TCodeTemplates& other) { takeMacros(other); }
};

} // namespace qorvi
