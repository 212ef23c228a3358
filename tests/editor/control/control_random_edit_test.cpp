// Random edits (replacing, typing, deleting characters and lines), undos,
// redos and save points against a model of the text: a list of the texts
// each step produced, with the selection before and after it. After every
// action the control must show the model's text and selection, and report
// modified exactly when its state is not the saved one.

#include "editor/settings/editor_settings.h"
#include "tests/editor/control/control_edit_support.h"

#include <gtest/gtest.h>
#include <random>

using namespace qorvi;
using namespace qorvi::test;

namespace {

struct Step {
    std::string text; // the text after the step
    TChRange before;  // the selection the step started from
    TChRange after;   // the selection it ended with
    std::uint64_t id = 0;
};

class Model {
public:
    Model() { steps_.push_back({"", {0, 0}, {0, 0}, 0}); }

    const std::string& text() const { return steps_[pos_].text; }
    void did(const std::string& text, TChRange before, TChRange after) {
        steps_.resize(pos_ + 1);
        steps_.push_back({text, before, after, ++lastId_});
        ++pos_;
    }
    bool canUndo() const { return pos_ > 0; }
    bool canRedo() const { return pos_ + 1 < steps_.size(); }
    TChRange undo() { return steps_[pos_--].before; }
    TChRange redo() { return steps_[++pos_].after; }
    void save() { saved_ = steps_[pos_].id; }
    bool modified() const { return steps_[pos_].id != saved_; }

private:
    std::vector<Step> steps_;
    std::size_t pos_ = 0;
    std::uint64_t lastId_ = 0;
    std::uint64_t saved_ = 0;
};

std::string randomText(std::mt19937& rng) {
    static const char alphabet[] = "ab \r\txyz(){};";
    const int length = std::uniform_int_distribution<int>(0, 12)(rng) < 11
                           ? std::uniform_int_distribution<int>(0, 4)(rng)
                           : std::uniform_int_distribution<int>(20, 3000)(rng);
    std::string text;
    for (int i = 0; i < length; ++i)
        text.push_back(alphabet[std::uniform_int_distribution<int>(0, sizeof alphabet - 2)(rng)]);
    return text;
}

void runRandomEdits(unsigned seed, int actions) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    ControlFixture f;
    TRudivoVoru& ctl = f.ctl;
    ctl.SetOptions(ctl.GetOptions() & ~(smoAutoIndent | smoTabToColumn));
    ctl.SetWrapColumn(9);
    Model model;
    TChRange selection{0, 0};
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n)(rng); };
    for (int i = 0; i < actions; ++i) {
        const auto length = static_cast<std::int32_t>(model.text().size());
        const int what = pick(99);
        std::string action;
        if (what < 3) {
            action = "delete line";
            if (selection.Empty()) {
                // The caret's text line with its line break; nothing on the
                // empty line after a final break.
                const std::string& text = model.text();
                const auto caret = static_cast<std::size_t>(selection.chEnd);
                const bool afterFinalBreak = caret == text.size() && (text.empty() || text.back() == '\r');
                ctrl(ctl, 'Y');
                if (!afterFinalBreak) {
                    const std::size_t start = caret == 0 ? 0 : text.rfind('\r', caret - 1) + 1;
                    const std::size_t lineBreak = text.find('\r', caret);
                    const std::size_t end = lineBreak == std::string::npos ? text.size() : lineBreak + 1;
                    std::string next = text;
                    next.erase(start, end - start);
                    const auto at = static_cast<std::int32_t>(start);
                    model.did(next, selection, {at, at});
                    selection = {at, at};
                }
            }
        } else if (what < 15) {
            action = "select";
            selection = {pick(length), pick(length)};
            ctl.SetSelection(selection);
        } else if (what < 40) {
            action = "replace";
            const std::string text = randomText(rng);
            const TChRange r = selection.Normalised();
            std::string next = model.text();
            next.replace(static_cast<std::size_t>(r.chStart), static_cast<std::size_t>(r.chEnd - r.chStart),
                         text);
            const auto caret = r.chStart + static_cast<std::int32_t>(text.size());
            const bool changes = !r.Empty() || !text.empty();
            ctl.DoReplaceSel(text);
            if (changes)
                model.did(next, selection, {caret, caret});
            selection = {caret, caret};
        } else if (what < 55) {
            action = "type";
            const char c = "qw e\r"[pick(4)];
            const TChRange r = selection.Normalised();
            std::string next = model.text();
            next.replace(static_cast<std::size_t>(r.chStart), static_cast<std::size_t>(r.chEnd - r.chStart),
                         1, c);
            typeText(ctl, std::string(1, c));
            model.did(next, selection, {r.chStart + 1, r.chStart + 1});
            selection = {r.chStart + 1, r.chStart + 1};
        } else if (what < 62) {
            action = "delete";
            TChRange r = selection.Normalised();
            if (r.Empty())
                r.chEnd = std::min(length, r.chEnd + 1);
            press(ctl, VK_DELETE);
            if (!r.Empty()) {
                std::string next = model.text();
                next.erase(static_cast<std::size_t>(r.chStart),
                           static_cast<std::size_t>(r.chEnd - r.chStart));
                model.did(next, selection, {r.chStart, r.chStart});
                selection = {r.chStart, r.chStart};
            }
        } else if (what < 80) {
            action = "undo";
            const bool done = ctl.DoUndo();
            ASSERT_EQ(done, model.canUndo());
            if (done)
                selection = model.undo();
        } else if (what < 93) {
            action = "redo";
            const bool done = ctl.DoReDo();
            ASSERT_EQ(done, model.canRedo());
            if (done)
                selection = model.redo();
        } else if (what < 97) {
            action = "save";
            ctl.MarkSavePoint();
            model.save();
        } else {
            action = "wrap";
            ctl.SetWordWrap(!ctl.GetWordWrap());
        }
        ASSERT_EQ(ctl.GetText(), model.text()) << "after " << action << " #" << i;
        ASSERT_EQ(sel(ctl), selection) << "after " << action << " #" << i;
        ASSERT_EQ(ctl.GetModified(), model.modified()) << "after " << action << " #" << i;
        ASSERT_EQ(ctl.CanUndo(), model.canUndo()) << "after " << action << " #" << i;
        ASSERT_EQ(ctl.CanRedo(), model.canRedo()) << "after " << action << " #" << i;
    }
}

TEST(ControlRandomEdits, UndoRedoAndSavePointsFollowTheModel) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u})
        runRandomEdits(seed, 1500);
}

} // namespace
