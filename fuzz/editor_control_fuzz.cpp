// Drives the editor control with arbitrary keys, characters, clicks, drags,
// messages with any arguments, clipboard commands, block indents, option
// changes, undos and redos. Nothing may crash, and the history must hold
// every change: undoing everything gives back the starting text, redoing
// everything the text the actions left.

#include "editor/control/rudivo_voru.h"
#include "editor/control/rudivo_voru_messages.h"
#include "editor/settings/editor_settings.h"
#include "platform/clipboard_port.h"
#include "platform/keys.h"
#include "tests/support/quiet_control_host.h"
#include "tests/support/recording_canvas.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace qorvi;

namespace {

constexpr const char* kStart = "int main() {\r\tint x = 1;\r\r    return x; // done\r}\r";

class Driver {
public:
    Driver() {
        ctl_.SetHost(&host_);
        ctl_.SetClipboard(&clipboard_);
        ctl_.ViewResize(320, 200);
        clipboard_.setContents({{ClipFormat::Text, "pasted\r\nline\r\n"}});
        ctl_.SetText(kStart);
    }
    ~Driver() {
        ctl_.SetClipboard(nullptr);
        ctl_.SetHost(nullptr);
    }

    void run(const std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i + 4 <= size && i < 4 * 400; i += 4)
            step(data[i], data[i + 1], data[i + 2], data[i + 3]);
        while (ctl_.IdleWork()) {
        }
        checkHistory();
    }

private:
    static std::int32_t wide(std::uint8_t a, std::uint8_t b) {
        // Mostly small offsets, sometimes far past the text or negative.
        const int v = (a << 8) | b;
        if (a >= 0xF0)
            return -(v & 0xFFF);
        if (a >= 0xE0)
            return 0x7FFFFFF0 + (b & 0xF);
        return v % 200;
    }

    void step(std::uint8_t op, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
        switch (op % 16) {
        case 0: { // a key with its character
            const bool consumed = ctl_.KeyDown(a, b & 7);
            if (!consumed && c >= 32)
                ctl_.KeyPress(static_cast<char>(c));
            ctl_.KeyUp();
            break;
        }
        case 1:
            ctl_.KeyPress(static_cast<char>(a));
            break;
        case 2:
        case 3: { // press, drag and release
            time_ += c & 1 ? 10 : 1000;
            MouseInput m{a * 2 - 40, b * 2 - 20, MouseButton::Left, static_cast<TShiftState>(c >> 5), time_};
            ctl_.MouseDown(m);
            m.x += c;
            m.y += c & 0x3F;
            ctl_.MouseMove(m);
            ctl_.AutoScrollStep(m.x, m.y, (c & 2) != 0);
            ctl_.MouseUp(m);
            break;
        }
        case 4:
            ctl_.perform(EM_SETSEL, static_cast<std::uintptr_t>(wide(a, b)), wide(b, c));
            break;
        case 5:
            ctl_.perform(EM_UNDO);
            break;
        case 6:
            ctl_.perform(SMM_REDO);
            break;
        case 7: {
            static const std::uint32_t clip[] = {WM_COPY, WM_CUT, WM_PASTE};
            ctl_.perform(clip[a % 3]);
            break;
        }
        case 8: {
            const std::string text(1 + a % 7, static_cast<char>(b % 3 == 0 ? '\r' : 'a' + b % 26));
            ctl_.perform(EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>(text.c_str()));
            break;
        }
        case 9:
            ctl_.perform(a & 1 ? SMM_INDENT : SMM_UNDENT, static_cast<std::uintptr_t>(wide(b, c)));
            break;
        case 10: { // options and the window
            const std::uint32_t options[] = {smoAutoIndent, smoTabToColumn, smoWordWrap, smoCaretAfterEOL, smoSmartFill, smoUseTAB, smoColumnTrack, smoShowAllChars};
            ctl_.SetOptions(ctl_.GetOptions() ^ options[a % 8]);
            if (a & 8) { // overwrite mode on or off
                ctl_.KeyDown(VK_INSERT, 0);
                ctl_.KeyUp();
            }
            if (b & 1)
                ctl_.SetWrapColumn(b & 2 ? c % 40 : 0);
            if (b & 4)
                ctl_.ViewResize(40 + c * 3, 30 + a);
            break;
        }
        case 11:
            ctl_.perform(EM_LINESCROLL, static_cast<std::uintptr_t>(wide(a, b)), wide(b, c));
            ctl_.perform(WM_VSCROLL, MAKEWPARAM(c % 9, a));
            ctl_.perform(EM_SCROLLCARET);
            break;
        case 12: { // questions, which must stay inside the text and the buffer
            const auto line = static_cast<std::uintptr_t>(wide(a, b));
            ctl_.perform(EM_LINEINDEX, line);
            ctl_.perform(EM_LINEFROMCHAR, line);
            ctl_.perform(EM_LINELENGTH, line);
            ctl_.perform(EM_POSFROMCHAR, line);
            ctl_.perform(EM_CHARFROMPOS, 0, wide(c, a));
            char buffer[16];
            const std::uint16_t room = c % 17;
            std::memcpy(buffer, &room, sizeof room);
            const auto got = ctl_.perform(EM_GETLINE, line, reinterpret_cast<std::intptr_t>(buffer));
            if (got < 0 || got > room)
                std::abort();
            break;
        }
        case 13:
            while (a-- > 0 && ctl_.IdleWork()) {
            }
            canvas_.clearCalls();
            ctl_.PaintTo(canvas_, {0, 0, 320, 200});
            break;
        case 14: // a chord or a shortcut: the first key with Ctrl, the second after it
            ctl_.KeyDown(a, ssCtrl);
            ctl_.KeyUp();
            ctl_.KeyDown(b, c & 7);
            ctl_.KeyUp();
            break;
        default:
            ctl_.perform(WM_GETDLGCODE);
            break;
        }
    }

    void checkHistory() {
        const std::string end = ctl_.GetText();
        int undone = 0;
        while (ctl_.perform(EM_CANUNDO) && undone < 100000) {
            ctl_.perform(EM_UNDO);
            ++undone;
        }
        if (ctl_.GetText() != kStart)
            std::abort();
        while (ctl_.perform(SMM_CANREDO) && undone-- > 0)
            ctl_.perform(SMM_REDO);
        if (ctl_.GetText() != end)
            std::abort();
    }

    test::QuietControlHost host_;
    RecordingCanvas canvas_;
    MemoryClipboard clipboard_;
    TRudivoVoru ctl_;
    std::int64_t time_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Driver driver;
    driver.run(data, size);
    return 0;
}
