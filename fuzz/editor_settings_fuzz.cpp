// Feeds arbitrary bytes to the stream readers of the editor settings (at the
// current layout and at the version-50 layout without a gutter font), the
// code templates, the auto-replace list and the template text file reader
// (the first byte picks one). A reader must reject bad bytes with a
// QorviError and leave the object as it was, or produce an object whose
// stream form reads back the same.

#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/memory_stream.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace qorvi;

std::string saved(const TSM_Base& object) {
    TMemoryStream out;
    object.SaveToStream(out);
    return out.DataString();
}

template <typename T> void roundTrip(const std::string& bytes, std::int32_t version = INT32_MAX) {
    T object;
    if constexpr (std::is_same_v<T, TSM_Settings>)
        object.SetFormatVersion(version);
    const std::string before = saved(object);
    TMemoryStream in(bytes);
    try {
        object.LoadFromStream(in);
    } catch (const QorviError&) {
        if (saved(object) != before)
            std::abort();
        return;
    }
    const std::string first = saved(object);
    T again;
    if constexpr (std::is_same_v<T, TSM_Settings>)
        again.SetFormatVersion(version);
    TMemoryStream in2(first);
    again.LoadFromStream(in2);
    if (saved(again) != first)
        std::abort();
}

void templateFile(const std::string& text) {
    TCodeTemplates t;
    try {
        t.TemplatesFromText(text);
    } catch (const QorviError&) {
        return;
    }
    // A file written from templates reads back as the same templates, unless
    // a body line starts with "[" (which begins a new template).
    for (const auto& entry : t.Entries())
        if (entry->Replacement.starts_with('[') || entry->Replacement.find("\r[") != std::string::npos)
            return;
    const std::string once = t.TemplatesAsText();
    TCodeTemplates again;
    again.TemplatesFromText(once);
    if (again.TemplatesAsText() != once)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 5) {
    case 0:
        roundTrip<TSM_Settings>(bytes);
        break;
    case 1:
        roundTrip<TSM_Settings>(bytes, 50);
        break;
    case 2:
        roundTrip<TCodeTemplates>(bytes);
        break;
    case 3:
        roundTrip<TAutoReplace>(bytes);
        break;
    default:
        templateFile(bytes);
        break;
    }
    return 0;
}
