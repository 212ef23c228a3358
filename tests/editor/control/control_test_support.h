#pragma once

// The editor control's core under test: a recording window (ControlHost
// over a RecordingCanvas: characters 8 x 16 pixels, line height 18) and a
// small C-like parser written against the parser base class, so that the
// control's tests need no compiled script.
//
// Token values of TestParser:
//   0 blanks and punctuation (one character each)
//   1 keywords (int, if, return, void, while, char)
//   2 line comment, from "//" to the end of the row (CR excluded)
//   3 identifiers
//   4 block comment "/* ... */" - one token across rows; with
//     boundComments each row's part is its own token and the parser
//     stays in a bound state until "*/"
//   5 string "...", ending before CR
//   6 numbers
//   7 container "`...`" (to the closing backquote or CR): its content is
//     tokenised again, identifiers inside as 8, the rest as 0

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/settings/settings_client.h"
#include "editor/styling/custom_rudivo_voru_parser.h"
#include "editor/styling/parser_client.h"
#include "editor/text/ed_stream.h"
#include "tests/support/recording_canvas.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace qorvi::test {

class TestParser : public TCustomRudivoVoruParser {
public:
    TestParser() { anchor = {0, 1, 3, 6}; }
    ~TestParser() override { notifyDestroyed(); }

    std::uint8_t ParseStream(ParserClient* Sender, TEdStream& s, std::int32_t& Len) override {
        if (Sender && !IsAttached(Sender))
            AttachEditor(Sender);
        ++calls;
        const std::int32_t start = s.GetYYpos();
        const std::uint8_t value = scan(s);
        Len = s.GetYYpos() - start;
        scanned += Len;
        if (inContainer_ && s.GetYYpos() >= containerEnd_ && !openedNow_)
            inContainer_ = false;
        openedNow_ = false;
        return value;
    }
    void ParseInit(std::uint8_t Index) override {
        ++inits;
        lastInit = Index;
        inComment_ = false;
        inContainer_ = false;
    }
    void ModifyProperties() override { ++modifyCalls; }
    void GetAnchor(TByteSet& Set) const override { Set = anchor; }
    bool InBoundState() const override { return boundComments && inComment_; }
    bool Busy() const override { return inContainer_; }
    TSM_Settings* ParserSettings() override { return &settings; }
    void GetCurrentParserState(TByteSet& Set) const override {
        Set = TByteSet{};
        Set.Include(inComment_ ? 1 : 0);
    }

    TSM_Settings settings;
    TByteSet anchor;
    bool boundComments = false;
    long calls = 0;
    long inits = 0;
    long scanned = 0;
    int lastInit = -1;
    int modifyCalls = 0;

protected:
    void settingsAddRef(ParserClient* Control) override {
        if (SettingsClient* c = Control->settingsClient())
            settings.AddRef(c);
    }
    void settingsRelease(ParserClient* Control) override {
        if (SettingsClient* c = Control->settingsClient())
            settings.Release(c);
    }

private:
    static bool identStart(int c) { return std::isalpha(c) || c == '_'; }
    static bool identChar(int c) { return std::isalnum(c) || c == '_'; }
    int peek(TEdStream& s) { return s.yyeof() ? -1 : s.GetYYchar(); }

    std::uint8_t scanComment(TEdStream& s) {
        // Up to and including "*/", or (bound) to the row end.
        while (!s.yyeof()) {
            const int c = s.GetYYchar();
            if (boundComments && c == '\r') {
                if (s.GetYYpos() == tokenStart_)
                    s.yyadvance();
                return 4;
            }
            s.yyadvance();
            if (c == '*' && peek(s) == '/') {
                s.yyadvance();
                inComment_ = false;
                return 4;
            }
        }
        return 4;
    }

    std::uint8_t scan(TEdStream& s) {
        tokenStart_ = s.GetYYpos();
        const int c = s.GetYYchar();
        if (inContainer_) {
            if (identStart(c)) {
                while (!s.yyeof() && identChar(s.GetYYchar()))
                    s.yyadvance();
                return 8;
            }
            s.yyadvance();
            return 0;
        }
        if (inComment_)
            return scanComment(s);
        if (c == '/') {
            s.yyadvance();
            if (peek(s) == '/') {
                while (!s.yyeof() && s.GetYYchar() != '\r')
                    s.yyadvance();
                return 2;
            }
            if (peek(s) == '*') {
                s.yyadvance();
                inComment_ = boundComments;
                return scanComment(s);
            }
            return 0;
        }
        if (c == '"') {
            s.yyadvance();
            while (!s.yyeof() && s.GetYYchar() != '\r') {
                const int d = s.GetYYchar();
                s.yyadvance();
                if (d == '"')
                    break;
            }
            return 5;
        }
        if (c == '`') {
            s.yyadvance();
            while (!s.yyeof() && s.GetYYchar() != '\r') {
                const int d = s.GetYYchar();
                s.yyadvance();
                if (d == '`')
                    break;
            }
            inContainer_ = true;
            openedNow_ = true;
            containerEnd_ = s.GetYYpos();
            return 7;
        }
        if (std::isdigit(c)) {
            while (!s.yyeof() && std::isdigit(s.GetYYchar()))
                s.yyadvance();
            return 6;
        }
        if (identStart(c)) {
            std::string word;
            while (!s.yyeof() && identChar(s.GetYYchar())) {
                word.push_back(static_cast<char>(s.GetYYchar()));
                s.yyadvance();
            }
            static const char* const keywords[] = {"int", "if", "return", "void", "while", "char"};
            for (const char* k : keywords)
                if (word == k)
                    return 1;
            return 3;
        }
        s.yyadvance();
        return 0;
    }

    bool inComment_ = false;
    bool inContainer_ = false;
    bool openedNow_ = false;
    std::int32_t containerEnd_ = 0;
    std::int32_t tokenStart_ = 0;
};

// The colours the tests give the test parser's styles (format n for
// token n; format 0 black on white).
inline constexpr TColor kKeywordColor = clBlue;
inline constexpr TColor kCommentColor = clGreen;
inline constexpr TColor kStringColor = clMaroon;

inline void giveColours(TSM_Settings& s) {
    auto format = [&](int index, TColor text, TColor back, std::uint8_t style = 0) {
        TFormatEntry e;
        e.TextColor = text;
        e.BackColor = back;
        e.Style = style;
        e.InUse = 1;
        s.SetFormatEntry(index, e);
        s.SetMapEntry(index, static_cast<std::uint8_t>(index));
    };
    format(1, kKeywordColor, clWhite, fsBold);
    format(2, kCommentColor, clWhite, fsItalic);
    format(3, clBlack, clWhite);
    format(4, kCommentColor, clWhite, fsItalic);
    format(5, kStringColor, clWhite);
    format(6, clPurple, clWhite);
    format(7, clTeal, clYellow);
    format(8, clRed, clYellow);
}

class RecordingHost : public ControlHost {
public:
    Canvas& measureCanvas() override { return canvas; }
    void invalidateRect(const CanvasRect& rect) override { invalidated.push_back(rect); }
    void setScrollBar(ScrollBarKind bar, int min, int max, int page, int position) override {
        Bar& b = bar == ScrollBarKind::Vertical ? vertical : horizontal;
        b = {min, max, page, position, true};
    }
    int scrollBarExtent() const override { return 0; }
    void showCaret(const CanvasRect& rect) override {
        caret = rect;
        caretShown = true;
    }
    void hideCaret() override { caretShown = false; }
    void scheduleIdle() override { ++idleRequests; }
    void startAutoScroll() override { ++autoScrollStarts; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void setBusy(bool busy) override { busyChanges.push_back(busy); }
    void openSearchDialog(bool replace, const std::string& findText, const std::string&, std::int32_t flags) override {
        dialogs.push_back({replace, findText, flags});
    }
    ReplaceAnswer askReplace(const std::string& question, const CanvasRect&) override {
        questions.push_back(question);
        if (answers.empty())
            return ReplaceAnswer::Cancel;
        const ReplaceAnswer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    PrinterPort* printer() override { return printerPort; }
    void beginLongSearch() override { ++longSearchDepth; }
    bool searchCancelled() override { return ++searchPolls > cancelAfterPolls; }
    void endLongSearch() override { --longSearchDepth; }
    int startTextDrag(const DropData& data, int allowedEffects) override {
        return onDrag ? onDrag(data, allowedEffects) : -1;
    }
    void takeFocus() override { ++focusRequests; }

    struct Bar {
        int min = 0, max = 0, page = 0, position = 0;
        bool set = false;
    };
    RecordingCanvas canvas;
    std::vector<CanvasRect> invalidated;
    Bar horizontal;
    Bar vertical;
    CanvasRect caret;
    bool caretShown = false;
    int idleRequests = 0;
    int autoScrollStarts = 0;
    std::vector<std::string> messages;
    std::vector<bool> busyChanges;
    struct Dialog {
        bool replace;
        std::string findText;
        std::int32_t flags;
    };
    std::vector<Dialog> dialogs;
    std::vector<std::string> questions;
    std::vector<ReplaceAnswer> answers; // the replies to askReplace, in turn
    PrinterPort* printerPort = nullptr;
    int longSearchDepth = 0;
    long searchPolls = 0;
    long cancelAfterPolls = 1L << 40; // the user presses Escape at this poll
    // The drag loop: where the dragged data goes and the effect it ends with.
    std::function<int(const DropData& data, int allowedEffects)> onDrag;
    int focusRequests = 0;
};

// A proportional font: "i" takes 3 pixels, everything else 8.
class ProportionalCanvas : public RecordingCanvas {
public:
    int textWidth(std::string_view text) override {
        int w = 0;
        for (char c : text)
            w += c == 'i' ? 3 : 8;
        return w;
    }
};

class ProportionalHost : public RecordingHost {
public:
    Canvas& measureCanvas() override { return proportional; }
    ProportionalCanvas proportional;
};

// A control in a recording window of `width` x `height` pixels.
template <class Host> struct BasicControlFixture {
    Host host;
    TRudivoVoru ctl;
    explicit BasicControlFixture(int width = 640, int height = 360) {
        ctl.SetHost(&host);
        ctl.ViewResize(width, height);
    }
    ~BasicControlFixture() { ctl.SetHost(nullptr); }
    // Paints the whole client area and returns the canvas calls.
    const std::vector<std::string>& paint() {
        host.canvas.clearCalls();
        ctl.PaintTo(host.canvas, {0, 0, ctl.ClientWidth(), ctl.ClientHeight()});
        return host.canvas.calls();
    }
    // Runs the idle styling to its end.
    void idle() {
        for (int i = 0; i < 1000000 && ctl.IdleWork(); ++i) {
        }
    }
};
using ControlFixture = BasicControlFixture<RecordingHost>;
// The same with a proportional font (see ProportionalCanvas).
using ProportionalFixture = BasicControlFixture<ProportionalHost>;

// The style bytes of every row, as one string of digits per row.
inline std::vector<std::string> rowStyles(const TTextStore& store) {
    std::vector<std::string> rows;
    for (TLine* row = store.Buffer(); row; row = store.Next(row)) {
        std::string s;
        const LineStyles styles(*row);
        const std::uint8_t* st = styles.data();
        for (int i = 0; i < row->Len(); ++i)
            s.push_back(st ? static_cast<char>('0' + st[i]) : '-');
        rows.push_back(s);
    }
    return rows;
}

inline std::vector<std::string> textCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.rfind("text ", 0) == 0)
            out.push_back(c);
    return out;
}

inline bool hasCall(const std::vector<std::string>& calls, const std::string& call) {
    for (const std::string& c : calls)
        if (c == call)
            return true;
    return false;
}

inline bool hasCallStarting(const std::vector<std::string>& calls, const std::string& prefix) {
    for (const std::string& c : calls)
        if (c.rfind(prefix, 0) == 0)
            return true;
    return false;
}

} // namespace qorvi::test
