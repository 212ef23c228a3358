#pragma once

// The window messages of the editor control with their Win32 numbers, the
// scroll requests, and the change reasons collected until DoChange. The
// application and the control's own methods drive it through
// perform(msg, wParam, lParam) with the Win32 argument packing.

#include <cstdint>

namespace qorvi {

// Standard messages.
inline constexpr std::uint32_t WM_SIZE = 5;
inline constexpr std::uint32_t WM_SETFOCUS = 7;
inline constexpr std::uint32_t WM_KILLFOCUS = 8;
inline constexpr std::uint32_t WM_SETREDRAW = 11;
inline constexpr std::uint32_t WM_SETTEXT = 12;
inline constexpr std::uint32_t WM_GETTEXT = 13;
inline constexpr std::uint32_t WM_GETTEXTLENGTH = 14;
inline constexpr std::uint32_t WM_GETDLGCODE = 135;
inline constexpr std::uint32_t EM_GETSEL = 176;
inline constexpr std::uint32_t EM_SETSEL = 177;
inline constexpr std::uint32_t EM_LINESCROLL = 182;
inline constexpr std::uint32_t EM_SCROLLCARET = 183;
inline constexpr std::uint32_t EM_GETMODIFY = 184;
inline constexpr std::uint32_t EM_GETLINECOUNT = 186;
inline constexpr std::uint32_t EM_LINEINDEX = 187;
inline constexpr std::uint32_t EM_LINELENGTH = 193;
inline constexpr std::uint32_t EM_REPLACESEL = 194;
inline constexpr std::uint32_t EM_GETLINE = 196;
inline constexpr std::uint32_t EM_CANUNDO = 198;
inline constexpr std::uint32_t EM_UNDO = 199;
inline constexpr std::uint32_t EM_LINEFROMCHAR = 201;
inline constexpr std::uint32_t EM_EMPTYUNDOBUFFER = 205;
inline constexpr std::uint32_t EM_GETFIRSTVISIBLELINE = 206;
inline constexpr std::uint32_t EM_POSFROMCHAR = 214;
inline constexpr std::uint32_t EM_CHARFROMPOS = 215;
inline constexpr std::uint32_t WM_HSCROLL = 276;
inline constexpr std::uint32_t WM_VSCROLL = 277;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 515;
inline constexpr std::uint32_t WM_DROPFILES = 563;
inline constexpr std::uint32_t WM_CUT = 768;
inline constexpr std::uint32_t WM_COPY = 769;
inline constexpr std::uint32_t WM_PASTE = 770;
inline constexpr std::uint32_t WM_UNDO = 772;
inline constexpr std::uint32_t EM_CANPASTE = 1074;

// The control's private messages.
inline constexpr std::uint32_t SMM_SELECTION = 0xC00;
inline constexpr std::uint32_t SMM_OPTIONS = 0xC01;
inline constexpr std::uint32_t SMM_REPLACESEL = 0xC02;
inline constexpr std::uint32_t SMM_LOCKUPDATE = 0xC05;
inline constexpr std::uint32_t SMM_IMPORT = 0xC06;
inline constexpr std::uint32_t SMM_EXPORT = 0xC07;
inline constexpr std::uint32_t SMM_MODIFIED = 0xC08;
inline constexpr std::uint32_t SMM_TOPLINE = 0xC09;
inline constexpr std::uint32_t SMM_LEFTCOLUMN = 0xC0A;
inline constexpr std::uint32_t SMM_FIND = 0xC0B;
inline constexpr std::uint32_t SMM_REPLACE = 0xC0C;

// Search flags (SMM_FIND's wParam, DoFindText, FindReplace).
// Export flags (DoExport, SMM_EXPORT, SMM_EXPORTTEXT).
inline constexpr int kExportLineFeeds = 1; // an LF after each CR
inline constexpr int kExportRTF = 2;
inline constexpr int kExportHTML = 4;
inline constexpr int kExportUnix = 8; // each CR written as an LF

inline constexpr std::int32_t kFindNow = 8; // at once, without a dialog
inline constexpr std::int32_t kFindMatchCase = 16;
inline constexpr std::int32_t kFindRegExpr = 32;
inline constexpr std::int32_t kFindWholeWord = 64;
inline constexpr std::int32_t kFindBackwards = 128;
inline constexpr std::int32_t kFindReplaceAll = 256; // FindReplace only
inline constexpr std::uint32_t SMM_EXPORTTEXT = 0xC0D;
inline constexpr std::uint32_t SMM_CANREDO = 0xC0E;
inline constexpr std::uint32_t SMM_REDO = 0xC0F;
inline constexpr std::uint32_t SMM_INDENT = 0xC10;
inline constexpr std::uint32_t SMM_UNDENT = 0xC11;
inline constexpr std::uint32_t SMM_REFRESH = 0xC12;
inline constexpr std::uint32_t SMM_SETSTYLES = 0xC13;
inline constexpr std::uint32_t SMM_GETSTYLES = 0xC14;
inline constexpr std::uint32_t SMM_UNDOSTACK = 0xC15;
inline constexpr std::uint32_t SMM_TEXTSTORE = 0xC18;
inline constexpr std::uint32_t SMM_PARSESTART = 0xC21;
inline constexpr std::uint32_t SMM_IDENTIFY = 0xC40;

// SMM_SETSTYLES / SMM_GETSTYLES (lParam): the style bytes of `Count` rows
// from row `First` (0-based), one per character of each row, row after row,
// in `Buffer` of `Size` bytes. The result is the number of bytes copied.
struct TSMStyleBlock {
    std::int32_t First = 0;
    std::int32_t Count = 0;
    std::uint8_t* Buffer = nullptr;
    std::int32_t Size = 0;
};

// Bits of wParam of the private set/get messages.
inline constexpr std::uintptr_t kSmmSet = 1;
inline constexpr std::uintptr_t kSmmNoRepaint = 2;

// Scroll requests (low word of wParam of WM_HSCROLL and WM_VSCROLL; the
// high word carries the thumb position).
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_ENDSCROLL = 8;

constexpr std::uintptr_t MAKEWPARAM(int low, int high) {
    return (static_cast<std::uintptr_t>(low) & 0xFFFF) | ((static_cast<std::uintptr_t>(high) & 0xFFFF) << 16);
}
constexpr int LOWORD(std::uintptr_t value) {
    return static_cast<int>(value & 0xFFFF);
}
constexpr int HIWORD(std::uintptr_t value) {
    return static_cast<int>((value >> 16) & 0xFFFF);
}

// WM_GETDLGCODE answers.
inline constexpr std::intptr_t DLGC_WANTARROWS = 0x0001;
inline constexpr std::intptr_t DLGC_WANTTAB = 0x0002;
inline constexpr std::intptr_t DLGC_WANTCHARS = 0x0080;
inline constexpr std::intptr_t DLGC_WANTMESSAGE = 0x0004;

// Why the control changed, collected until the next DoChange.
enum TChangeReason : std::uint32_t {
    crSelection = 1,
    crText = 2,
    crSize = 4, // size, redraw or font
    crFormats = 8,
    crScrolled = 16,
    crInsertMode = 32,
    crOptions = 64,
    crKeyboard = 128,
};

} // namespace qorvi
