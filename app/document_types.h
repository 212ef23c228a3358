#pragma once

// The thirteen document types: type number (the `Tag` of the type's parser
// component), type key as the mapping file stores it, parser component name
// and the display name the type lists show.

#include <array>
#include <string>

namespace qorvi {

struct DocumentType {
    int number;
    const char* key;
    const char* parserName;
    const char* displayName;
};

constexpr int kPlainTextType = 5;

const std::array<DocumentType, 13>& documentTypes();

// The type key of a type number; any other number gives "txt".
std::string TypeKeyForNumber(int number);

// The type number whose parser serves a type key. Keys compare exactly
// (case-sensitive); any other key, "txt" included, gives the plain-text type.
int typeNumberForKey(const std::string& key);

// The blank run between a display name and its type number in the type lists.
const std::string& blankRun();

// A type list item: display name, the 50-space blank run, the type number.
std::string typeListItem(int number);
// The type number of a type list item: its last 11 characters without
// leading blanks, read as a decimal number; 0 when that fails.
int typeNumberOfItem(const std::string& item);

} // namespace qorvi
