#pragma once

// The events of the editor control: method pointers (std::function) that
// its owner assigns, each handed the control as Sender.

#include "editor/control/line_track_manager.h"
#include "platform/canvas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

struct TMark;
class TCustomRudivoVoru;
class TSM_BreakpointData;

// The record OnDrawLine receives for each row it may draw instead.
struct TDrawLineData {
    std::int32_t Version = 1;
    std::string_view Text; // the display text (tabs expanded)
    std::int32_t Field2 = 1;
    Canvas* canvas = nullptr;
    CanvasRect Rect; // the row
    std::int32_t CharIndex = 0;
    std::int32_t LeftColumn = 0;
    std::int32_t Length = 0;
    bool Handled = false;
};

// What pasted or dropped data holds and how it is to be taken (bit n of a
// TSourceTypes set is member n).
enum TSourceType {
    stFileNames,
    stUnicode,
    stText,
    stRichText,
    stBitMap,
    stDIB,
    stEnhMetaFile,
    stMetaFile,
    stHTML,
    stPaste,
    stAsText,
    stFileDropEvent,
    stIgnore,
    stExtractHTML,
    stFullHTML,
};
using TSourceTypes = std::uint32_t;
constexpr TSourceTypes sourceBit(TSourceType type) { return TSourceTypes{1} << type; }

using TNotifyEvent = std::function<void(TCustomRudivoVoru& Sender)>;
using TDataDropEvent = std::function<void(TCustomRudivoVoru& Sender, TSourceTypes& SourceTypes)>;
using TDrawLineEvent = std::function<void(TCustomRudivoVoru& Sender, TDrawLineData& Data)>;
using TDrawMarkEvent =
    std::function<void(TCustomRudivoVoru& Sender, Canvas& canvas, TMark* Mark, const CanvasRect& Rect)>;
using TTokenSeenEvent = std::function<void(TCustomRudivoVoru& Sender, int& Style, std::int32_t Position,
                                           std::int32_t TokenStart)>;
using TTextChangeEvent =
    std::function<void(TCustomRudivoVoru& Sender, std::int32_t Index, std::int32_t Delta)>;
using TGutterClickEvent = std::function<void(TCustomRudivoVoru& Sender, std::int32_t Line)>;
// Returns true when it handled the wheel turn.
using TMouseWheelUpDownEvent =
    std::function<bool(TCustomRudivoVoru& Sender, std::uint32_t Shift, int X, int Y)>;
// The mark-draw hook: draws a mark instead of the spelling underline.
using TMarkDrawHook = std::function<void(Canvas& canvas, TMark* Mark, const CanvasRect& Rect)>;
// A key recognised as an action; the handler may change the action.
using TCommandRecognisedEvent = std::function<void(TCustomRudivoVoru& Sender, std::int32_t& Action)>;
// A template about to be expanded (the name as typed; empty from the pick
// list); the handler may change the text.
using TTemplateEvent =
    std::function<void(TCustomRudivoVoru& Sender, const std::string& TemplateName, std::string& Replacement)>;
// An auto-replace item found at ItemStart: the handler may change the text
// and the verdict.
using TAutoReplaceEvent =
    std::function<void(TCustomRudivoVoru& Sender, std::int32_t ItemStart, const std::string& ReplaceItem,
                       std::string& ReplaceWith, bool& CanReplace)>;
using TBookmarkEvent = std::function<void(TCustomRudivoVoru& Sender, int Index)>;
// A custom mark moved or grew (OnMarkChange), or is about to be freed (OnMarkFree).
using TMarkEvent = std::function<void(TCustomRudivoVoru& Sender, TMark* ID)>;
// A named bookmark went with the text it stood in.
using TCustomBookmarkFreeNotify = std::function<void(TCustomRudivoVoru& Sender, const std::string& bmName)>;
// A breakpoint is about to be freed, or was enabled, disabled or created.
using TBreakpointEvent = std::function<void(TCustomRudivoVoru& Sender, TSM_BreakpointData* Data)>;
// A word was typed to its end (a character that cannot be in a word came
// after it): a spelling checker may mark it with AddMark.
using TSpellWordEvent =
    std::function<void(TCustomRudivoVoru& Sender, const std::string& Word, std::int32_t Start)>;
using TSearchFailEvent = std::function<void(TCustomRudivoVoru& Sender, const std::string& Text)>;
using TTrackEvent = std::function<void(TCustomRudivoVoru& Sender, TTrackID ID)>;
// The third press of a triple click, at the client point, on the character index.
using TTripleClickEvent = std::function<void(TCustomRudivoVoru& Sender, int X, int Y, std::int32_t Index)>;
class DropData;
// Files dropped on the control at the client point ((-1, -1): outside the
// client area); the handler may change the list, which a text drop then inserts.
using TFilesDroppedEvent =
    std::function<void(TCustomRudivoVoru& Sender, std::vector<std::string>& Files, int X, int Y)>;
// Data dragged over the control; the handler may change the drop effect.
using TOLEDragOverEvent =
    std::function<void(TCustomRudivoVoru& Sender, const DropData* DataObject, int& Effect, int X, int Y)>;
// A press on a hyperlink style: the text of the run and its style.
using THyperlinkClickEvent =
    std::function<void(TCustomRudivoVoru& Sender, const std::string& Text, int Style)>;

} // namespace qorvi
