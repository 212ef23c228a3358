#pragma once

// The control as the template and auto-replace lists see it while they
// handle a key (MacroHost): its text, caret, word tests, selection and pick
// list.

#include "editor/control/rudivo_voru.h"
#include "editor/macros/macro_keywords.h"

namespace qorvi {

class TCustomRudivoVoru::MacroPort : public MacroHost {
public:
    explicit MacroPort(TCustomRudivoVoru& control) : control_(control) {}

    TTextStore& macroText() override { return *control_.store_; }
    std::int32_t macroCaret() override { return control_.sel_.chEnd; }
    bool isWordChar(unsigned char c) override { return control_.IsWordChar(c); }
    bool isWordStart(unsigned char c) override { return control_.IsWordStart(c); }
    void selectTypedPrefix(std::int32_t start, std::int32_t end) override {
        control_.SetSelection({start, end});
    }
    void collapseSelectionToEnd() override {
        const std::int32_t end = control_.sel_.Normalised().chEnd;
        control_.SetSelection({end, end});
    }
    void showMacroPopup(TMacroKeywords& list, int selected) override {
        control_.showPickList(list, selected);
    }

private:
    TCustomRudivoVoru& control_;
};

} // namespace qorvi
