// Feeds arbitrary bytes to the key map's stream reader. The reader must
// reject bad bytes with a QorviError and leave the map it replaces intact,
// or give a map whose stream form reads back the same; keys fed to a loaded
// map must not crash it.

#include "editor/keys/keyboard_action_controller.h"
#include "editor/support/memory_stream.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace qorvi;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TKeyboardActionContoller map;
    map.Assign(DefaultKeyController());
    TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        map.LoadFromStream(in);
    } catch (const QorviError&) {
        if (map.KeyStore().BindingCount() != DefaultKeyController().KeyStore().BindingCount())
            std::abort();
        return 0;
    }
    TMemoryStream first;
    map.SaveToStream(first);
    first.SetPosition(0);
    TKeyboardActionContoller again;
    again.LoadFromStream(first);
    TMemoryStream second;
    again.SaveToStream(second);
    if (first.DataString() != second.DataString())
        std::abort();
    for (std::size_t i = 0; i + 1 < size && i < 64; i += 2) {
        std::uint16_t key = data[i];
        TShiftState shift = data[i + 1] & 7;
        bool handled = false;
        map.KeyPressed(key, shift, handled);
    }
    return 0;
}
