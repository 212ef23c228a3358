#pragma once

// The control's text as a list of lines (the Lines property). Lines are
// text lines - the runs between line breaks, whole however long and however
// word wrap cuts them into rows - or, with CountRows, the control's rows. A
// text that ends with a line break has no empty line after it in the list,
// and an empty text has none at all.
//
// Everything goes through the control's own operations (selection, the
// replace-selection edit, loading and saving), so changes made here are
// undone, keep bookmarks and marks in step and are re-wrapped like typing;
// the control's selection is put back afterwards.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class TCustomRudivoVoru;
class TStream;

class TRudivoVoruStrings {
public:
    explicit TRudivoVoruStrings(TCustomRudivoVoru& control) : control_(control) {}

    // Index rows instead of text lines.
    bool CountRows = false;

    std::int32_t Count() const;
    // Line i without its line break; empty for an index out of range.
    std::string Get(std::int32_t i) const;
    // Replaces line i's text (its line break stays).
    void Put(std::int32_t i, std::string_view s);
    // s becomes line i; i = Count() appends. Negative i does nothing.
    void Insert(std::int32_t i, std::string_view s);
    void Add(std::string_view s) { Insert(Count(), s); }
    void AddStrings(const std::vector<std::string>& lines);
    // Removes line i with its line break.
    void Delete(std::int32_t i);
    void Clear();

    // The whole text with CR LF after each line, as a string list gives it.
    std::string GetText() const;
    // Any line breaks; nothing happens when the text is the same.
    void SetText(std::string_view text);

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // Painting waits while an update is open; its end repaints.
    void BeginUpdate();
    void EndUpdate();

private:
    struct Span {
        std::int32_t start = 0;
        std::int32_t end = 0; // before the line break
        bool exists = false;
        bool hasBreak = false;
    };
    // Lines the control shows, the empty one after a final break included.
    std::int32_t shownLines() const;
    Span span(std::int32_t i) const;
    void replace(std::int32_t from, std::int32_t to, std::string_view text);

    TCustomRudivoVoru& control_;
    int updates_ = 0;
};

} // namespace qorvi
