#include "app/document_types.h"

#include "app/setting_values.h"

namespace qorvi {

const std::array<DocumentType, 13>& documentTypes() {
    static const std::array<DocumentType, 13> types{{
        {1, "cpp", "prsCPP", "C/Cpp"},
        {2, "java", "prsJava", "Java"},
        {3, "htm", "prsHTML", "HTML"},
        {4, "sql", "prsSQL", "SQL"},
        {5, "txt", "prsPlain", "Plain text"},
        {6, "bas", "prsVB", "Visual Basic"},
        {7, "pas", "prsPascal", "Pascal"},
        {8, "idl", "prsIDL", "IDL"},
        {9, "bat", "prsBAT", "MSDOS Batch file"},
        {10, "ini", "prsINI", "Windows INI file"},
        {11, "sh", "prsShell", "Unix shell script"},
        {12, "4gl", "prs4gl", "Informix 4GL"},
        {13, "php3", "prsPHP", "PHP Script"},
    }};
    return types;
}

std::string TypeKeyForNumber(int number) {
    for (const auto& t : documentTypes())
        if (t.number == number)
            return t.key;
    return "txt";
}

int typeNumberForKey(const std::string& key) {
    // The order in which keys are tried; "txt" is not among them.
    static const char* const order[] = {"cpp", "htm", "pas", "sql", "java", "bas",
                                        "idl", "bat", "ini", "sh",  "4gl",  "php3"};
    for (const char* k : order)
        if (key == k)
            for (const auto& t : documentTypes())
                if (key == t.key)
                    return t.number;
    return kPlainTextType;
}

const std::string& blankRun() {
    static const std::string run(50, ' ');
    return run;
}

std::string typeListItem(int number) {
    for (const auto& t : documentTypes())
        if (t.number == number)
            return std::string(t.displayName) + blankRun() + std::to_string(number);
    return {};
}

int typeNumberOfItem(const std::string& item) {
    std::string tail = item.size() > 11 ? item.substr(item.size() - 11) : item;
    std::size_t i = 0;
    while (i < tail.size() && tail[i] == ' ')
        ++i;
    return parseIntegerOr(tail.substr(i), 0);
}

} // namespace qorvi
