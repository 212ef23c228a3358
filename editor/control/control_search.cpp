// The control's own search: plain text over the records (plain_search.h)
// or by regular expression (TREParser), both directions, and replacing -
// one match, or every match in one undo step.

#include "editor/control/rudivo_voru.h"
#include "editor/regex/re_budget.h"
#include "editor/regex/re_error.h"
#include "editor/text/line.h"
#include "platform/code_page.h"
#include "platform/hex_digit.h"

#include <algorithm>

namespace qorvi {
namespace {

constexpr const char* kSearchString = "Search string";
constexpr const char* kNotFound = "not found.";

} // namespace

TCustomRudivoVoru::LongSearch::LongSearch(TCustomRudivoVoru& control) : host_(control.host_) {
    control.searchInterrupted_ = false;
    if (host_)
        host_->beginLongSearch();
}

TCustomRudivoVoru::LongSearch::~LongSearch() {
    if (host_)
        host_->endLongSearch();
}

std::int32_t TCustomRudivoVoru::searchStartFor(bool backwards) const {
    return backwards ? std::min(sel_.chStart, sel_.chEnd) : std::max(sel_.chStart, sel_.chEnd);
}

void TCustomRudivoVoru::showPatternError(const std::string& message, const std::string& pattern, int column) {
    // The message, the pattern, and a caret under the column in error.
    const std::string text =
        message + "\n" + pattern + "\n" + std::string(static_cast<std::size_t>(std::max(column - 1, 0)), ' ') + "^";
    if (host_)
        host_->showMessage(text);
}

std::int32_t TCustomRudivoVoru::findRegExpr(const std::string& pattern, std::int32_t start, bool backwards) {
    if (!regex_) {
        regex_ = std::make_unique<TREParser>();
        regex_->SetInterrupt([this] { return host_ && host_->searchCancelled(); });
    }
    if (!regex_->Compile(pattern)) {
        showPatternError(regex_->ErrorMessage(), pattern, regex_->ErrorPosition());
        return -1;
    }
    if (!searchStream_)
        searchStream_ = std::make_unique<TEdStream>(store_);
    searchStream_->SetStore(store_);
    // Backwards, the match must start before the search start.
    if (backwards && start == 0)
        return -1;
    searchStream_->SetYYpos(backwards ? start - 1 : start);
    try {
        if (!regex_->Search(*searchStream_, !backwards))
            return -1;
    } catch (const ERegExprError& e) {
        showPatternError(e.message(), pattern, e.position());
        return -1;
    } catch (const re::SearchInterrupted&) {
        searchInterrupted_ = true;
        return -1;
    }
    const std::int32_t from = regex_->GetSection(0);
    const std::int32_t to = regex_->GetSection(regex_->SectionCount());
    SetSelection({from, to});
    lastMatchStart_ = from;
    return from;
}

std::int32_t TCustomRudivoVoru::findPlain(const std::string& text, std::int32_t start, std::int32_t flags) {
    if (!plainSearch_) {
        plainSearch_ = std::make_unique<TPlainSearch>();
        plainSearch_->SetInterrupt([this] { return host_ && host_->searchCancelled(); });
    }
    plainSearch_->Prepare(text, (flags & kFindMatchCase) != 0, Encoding() == TextEncoding::Utf8);
    re::TextReader reader(*store_);
    TPlainSearch::WordTest word;
    if (flags & kFindWholeWord)
        word = [this](unsigned char c) { return IsWordChar(c) || IsWordStart(c); };
    const std::int32_t at = plainSearch_->Find(reader, start, (flags & kFindBackwards) != 0, word);
    searchInterrupted_ = plainSearch_->Interrupted();
    lastMatchStart_ = at;
    return at;
}

std::int32_t TCustomRudivoVoru::DoFindText(std::int32_t flags, const std::string& text) {
    if (!(flags & kFindNow)) {
        searchRegExpr_ = (flags & kFindRegExpr) != 0;
        std::string initial = text;
        if (initial.empty() && !searchRegExpr_ && sel_.chStart != sel_.chEnd)
            initial = GetSelText();
        SetHideSelection(false);
        if (host_)
            host_->openSearchDialog(false, initial, {}, flags);
        return -1;
    }
    LongSearch longSearch(*this);
    return searchFrom(text, flags, searchStartFor((flags & kFindBackwards) != 0));
}

std::int32_t TCustomRudivoVoru::searchFrom(const std::string& text, std::int32_t flags, std::int32_t start) {
    const bool backwards = (flags & kFindBackwards) != 0;
    lastSearch_ = text;
    lastSearchFlags_ = flags;
    if (store_->NumChars() == 0 || text.empty() || (backwards && start <= 0) ||
        (!backwards && start >= store_->NumChars()))
        return -1;
    return (flags & kFindRegExpr) ? findRegExpr(text, start, backwards) : findPlain(text, start, flags);
}

bool TCustomRudivoVoru::FindText(const std::string& text, std::int32_t& index, std::int32_t flags) {
    index = DoFindText(flags, text);
    return index >= 0;
}

bool TCustomRudivoVoru::FindNext(std::int32_t& index) {
    index = -1;
    if (lastSearch_.empty())
        return false;
    const std::int32_t flags = lastSearchFlags_ | kFindNow;
    const std::int32_t selStart = std::min(sel_.chStart, sel_.chEnd);
    if (!(flags & kFindBackwards) && !(flags & kFindRegExpr) && sel_.chStart != sel_.chEnd &&
        upperCase(GetSelText()) == upperCase(lastSearch_))
        SetSelection({selStart + 1, selStart + 1}); // not the same match again
    index = DoFindText(flags, lastSearch_);
    if (index < 0) {
        if (!searchInterrupted_)
            DoFindNotFound(lastSearch_);
        return false;
    }
    if (!(flags & kFindRegExpr))
        SetSelection({index, index + static_cast<std::int32_t>(lastSearch_.size())});
    return true;
}

void TCustomRudivoVoru::DoReplaceText(std::int32_t flags, const std::string& findText, const std::string& replaceText) {
    searchRegExpr_ = (flags & kFindRegExpr) != 0;
    std::string initial = findText;
    if (initial.empty() && !searchRegExpr_ && sel_.chStart != sel_.chEnd)
        initial = GetSelText();
    SetHideSelection(false);
    if (host_)
        host_->openSearchDialog(true, initial, replaceText, flags);
}

bool TCustomRudivoVoru::FindReplace(const std::string& findText, const std::string& replaceText,
                                    std::int32_t flags, std::string& replacement, std::int32_t& index) {
    index = -1;
    if (flags & kFindReplaceAll)
        return false;
    if (!FindText(findText, index, flags | kFindNow))
        return false;
    if (flags & kFindRegExpr) {
        FormReplaceText(replaceText, replacement);
    } else {
        replacement = replaceText;
        SetSelection({index, index + static_cast<std::int32_t>(findText.size())});
    }
    return true;
}

std::int32_t TCustomRudivoVoru::DoReplaceAll(std::int32_t from, std::int32_t to, bool wholeWord, bool matchCase,
                                             const std::string& replaceText, const std::string& findText) {
    if (findText.empty())
        return 0;
    LongSearch longSearch(*this);
    if (host_)
        host_->setBusy(true);
    struct BusyOff {
        ControlHost* host;
        ~BusyOff() {
            if (host)
                host->setBusy(false);
        }
    } busyOff{host_};
    // Every match first, none overlapping; then the edits, each shifted by
    // the replacements before it.
    const std::int32_t flags = (wholeWord ? kFindWholeWord : 0) | (matchCase ? kFindMatchCase : 0);
    const std::int32_t length = static_cast<std::int32_t>(findText.size());
    std::vector<std::int32_t> matches;
    to = std::min(to, store_->NumChars());
    for (std::int32_t at = findPlain(findText, std::max(from, 0), flags); at >= 0 && at + length <= to;
         at = findPlain(findText, at + length, flags)) {
        matches.push_back(at);
        // Matches close together pass few records between the asks.
        if ((matches.size() & 4095) == 0 && host_ && host_->searchCancelled()) {
            searchInterrupted_ = true;
            break;
        }
    }
    if (matches.empty() || searchInterrupted_)
        return 0; // a cancelled search changes nothing
    const std::int32_t delta = static_cast<std::int32_t>(replaceText.size()) - length;
    UndoTransBegin(utReplace);
    std::int32_t shift = 0;
    for (std::int32_t at : matches) {
        SetSelection({at + shift, at + shift + length}, true);
        DoReplaceSel(replaceText, true);
        shift += delta;
    }
    const std::int32_t last = matches.back() + shift - delta;
    SetSelection({last, last}, true);
    UndoTransEnd(utReplace);
    ScreenInvalid();
    SetSelection({last, last});
    return static_cast<std::int32_t>(matches.size());
}

std::int32_t TCustomRudivoVoru::GetFindRESection(int n) const {
    if (!regex_)
        return -1;
    return regex_->GetSection(std::clamp(n, 0, regex_->SectionCount()));
}

void TCustomRudivoVoru::FormReplaceText(const std::string& Template, std::string& text) const {
    text.clear();
    const std::size_t n = Template.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = Template[i];
        if (c == '%' && i + 1 < n) {
            const char d = Template[++i];
            if (d < '0' || d > '9') {
                text.push_back(d); // "%%" and "%" before any other character
                continue;
            }
            int section = 0;
            while (i < n && Template[i] >= '0' && Template[i] <= '9' && section < 1000)
                section = section * 10 + (Template[i++] - '0');
            --i;
            if (section >= 1 && section <= 255 && regex_ && section <= regex_->SectionCount()) {
                const std::int32_t a = regex_->GetSection(section - 1);
                const std::int32_t b = regex_->GetSection(section);
                if (a >= 0 && b >= a)
                    text += store_->GetText(a, b - a);
            }
            continue;
        }
        if (c == '\\' && i + 1 < n) {
            const char d = Template[++i];
            if (d >= '0' && d <= '7') {
                int code = 0;
                int digits = 0;
                while (i < n && digits < 3 && Template[i] >= '0' && Template[i] <= '7') {
                    code = code * 8 + (Template[i++] - '0');
                    ++digits;
                }
                --i;
                if (code >= 256)
                    return; // a code past a byte ends the template
                text.push_back(static_cast<char>(code));
                continue;
            }
            switch (d) {
            case 'b': text.push_back('\b'); break;
            case 'f': text.push_back('\f'); break;
            case 'n': text.push_back('\r'); break; // the control's line break
            case 'r': text.push_back('\n'); break;
            case 's': text.push_back(' '); break;
            case 't': text.push_back('\t'); break;
            case 'x': {
                int code = 0;
                int digits = 0;
                while (i + 1 < n && digits < 2 && hexDigitValue(static_cast<unsigned char>(Template[i + 1])) >= 0) {
                    code = code * 16 + hexDigitValue(static_cast<unsigned char>(Template[++i]));
                    ++digits;
                }
                if (digits == 0)
                    return; // "\x" without a hex digit ends the template
                text.push_back(static_cast<char>(code));
                break;
            }
            default: text.push_back(d); break; // "\\" and any other character
            }
            continue;
        }
        text.push_back(c);
    }
}

void TCustomRudivoVoru::TokenTextAtPos(std::int32_t index, std::int32_t& start, std::string& text) const {
    text.clear();
    start = index;
    if (index < 0 || index >= store_->NumChars())
        return;
    const TTextStore::LineInfo info = store_->InfoFromIndex(index);
    const LineStyles lineStyles(*info.line);
    const std::uint8_t* styles = lineStyles.data();
    if (!styles)
        return;
    const std::int32_t at = index - info.start;
    const std::uint8_t style = styles[at];
    std::int32_t a = at;
    std::int32_t b = at + 1;
    while (a > 0 && styles[a - 1] == style && b - a < 4096)
        --a;
    while (b < info.line->Len() && styles[b] == style && b - a < 4096)
        ++b;
    start = info.start + a;
    text.assign(info.line->Text() + a, static_cast<std::size_t>(b - a));
}

int TCustomRudivoVoru::GetTokenAtCharPos(std::int32_t index) const {
    if (index < 0 || index >= store_->NumChars())
        return 255;
    const TTextStore::LineInfo info = store_->InfoFromIndex(index);
    return info.line->IsStyled() ? info.line->StyleAt(index - info.start) : 255;
}

void TCustomRudivoVoru::GetTokenTextAtCursorPos(std::int32_t& start, std::string& text) const {
    if (pointerX_ < 0) {
        start = -1;
        text.clear();
        return;
    }
    TokenTextAtPos(IndexFromPos(pointerX_, pointerY_), start, text);
}

int TCustomRudivoVoru::GetTokenAtCursorPos() const {
    return pointerX_ < 0 ? 255 : GetTokenAtCharPos(IndexFromPos(pointerX_, pointerY_));
}

void TCustomRudivoVoru::DoFindNotFound(const std::string& text) {
    if (OnSearchFail) {
        OnSearchFail(*this, text);
        return;
    }
    if (host_)
        host_->showMessage(std::string(kSearchString) + " \"" + text + "\" " + kNotFound);
}

} // namespace qorvi
