// Drag and drop on the control through its drop target and a recording
// window whose drag loop drops the dragged data where a test says: a move
// within the control is one undo step, a drop onto the dragged selection
// does nothing, Ctrl copies, read-only controls accept nothing and drag out
// only as copies, the formats taken and their order, files handed to
// OnFilesDropped, and a move into another control.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "tests/editor/control/control_test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace qorvi {
namespace {

using test::ControlFixture;

struct FakeData : DropData {
    std::map<TSourceType, std::vector<std::string>> items;
    const TCustomRudivoVoru* from = nullptr;
    bool offers(TSourceType format) const override { return items.count(format) > 0; }
    std::vector<std::string> read(TSourceType format) const override {
        const auto it = items.find(format);
        return it == items.end() ? std::vector<std::string>{} : it->second;
    }
    const TCustomRudivoVoru* source() const override { return from; }
};

struct Point {
    int x = 0;
    int y = 0;
};

Point pointOf(const TCustomRudivoVoru& ctl, std::int32_t index) {
    Point p;
    EXPECT_TRUE(ctl.PosFromIndex(index, p.x, p.y));
    return {p.x + 1, p.y + 2};
}

struct DragFixture : ControlFixture {
    DragFixture() {
        ctl.Settings().SetOptions(ctl.Settings().Options() | smoOLEDragSource | smoProcessDroppedFiles);
        ctl.SetText("first word here\rsecond line\r");
    }
    // Presses inside the selection and moves past the drag distance.
    void dragSelection() {
        const Point p = pointOf(ctl, ctl.GetSelection().Normalised().chStart + 1);
        now += 10000; // never a double click
        ctl.MouseDown({p.x, p.y, MouseButton::Left, ssLeft, now});
        ctl.MouseMove({p.x + 20, p.y, MouseButton::None, ssLeft, now});
        ctl.MouseUp({p.x + 20, p.y, MouseButton::Left, 0, now});
    }
    std::int64_t now = 0;
    // The drag loop drops the data on `target` at character `index`.
    void dropOn(TCustomRudivoVoru& target, std::int32_t index, int keyState, int* allowed = nullptr) {
        host.onDrag = [&target, index, keyState, allowed](const DropData& data, int allowedEffects) {
            if (allowed)
                *allowed = allowedEffects;
            const Point p = pointOf(target, index);
            int effect = deNone;
            target.DropTarget().DragEnter(data, keyState, p.x, p.y, effect);
            target.DropTarget().DragOver(keyState, p.x, p.y, effect);
            target.DropTarget().Drop(&data, keyState, p.x, p.y, effect);
            return effect;
        };
    }
    // Drops foreign data at character `index` and returns the effect.
    int dropForeign(const FakeData& data, std::int32_t index, int keyState = 0) {
        const Point p = pointOf(ctl, index);
        int effect = deNone;
        ctl.DropTarget().DragEnter(data, keyState, p.x, p.y, effect);
        if (effect == deNone) {
            ctl.DropTarget().DragLeave();
            return deNone;
        }
        ctl.DropTarget().Drop(&data, keyState, p.x, p.y, effect);
        return effect;
    }
};

TEST(ControlDragDrop, MovesAndCopiesOfTheOwnSelection) {
    DragFixture f;
    // Move the first word to the end of its line: one undo step.
    f.ctl.SetSelection({0, 6});
    f.dropOn(f.ctl, 15, 0);
    f.dragSelection();
    EXPECT_EQ(f.ctl.GetText(), "word herefirst \rsecond line\r");
    EXPECT_EQ(f.ctl.GetSelection(), (TChRange{9, 9})) << "the caret at the drop position";
    EXPECT_TRUE(f.ctl.GetModified());
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_EQ(f.ctl.GetText(), "first word here\rsecond line\r");
    EXPECT_FALSE(f.ctl.CanUndo()) << "the move was one step";
    EXPECT_LT(f.ctl.DropIndex(), 0) << "no drop caret left";

    // Onto itself: nothing happens.
    f.ctl.SetSelection({0, 6});
    f.dropOn(f.ctl, 3, 0);
    f.dragSelection();
    EXPECT_EQ(f.ctl.GetText(), "first word here\rsecond line\r");
    EXPECT_FALSE(f.ctl.CanUndo());

    // Ctrl held: a copy at the drop position, before the selection.
    f.ctl.SetSelection({6, 10});
    f.dropOn(f.ctl, 16, MK_CONTROL);
    f.dragSelection();
    EXPECT_EQ(f.ctl.GetText(), "first word here\rwordsecond line\r");
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_FALSE(f.ctl.CanUndo());

    // Without the option a press in the selection selects instead.
    f.ctl.Settings().SetOptions(f.ctl.Settings().Options() & ~smoOLEDragSource);
    int calls = 0;
    f.host.onDrag = [&](const DropData&, int) { return ++calls, deNone; };
    f.ctl.SetSelection({0, 6});
    f.dragSelection();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(f.ctl.GetSelection(), (TChRange{1, 4})) << "selected from the press to the pointer";
}

TEST(ControlDragDrop, ReadOnlyAndMovesIntoAnotherControl) {
    DragFixture f;
    ControlFixture other;
    other.ctl.SetText("target\r");
    f.ctl.SetSelection({0, 6});
    f.dropOn(other.ctl, 6, 0);
    f.dragSelection();
    EXPECT_EQ(other.ctl.GetText(), "targetfirst \r");
    EXPECT_EQ(f.ctl.GetText(), "word here\rsecond line\r") << "a move takes the text away";
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_FALSE(f.ctl.CanUndo());
    EXPECT_TRUE(other.ctl.DoUndo());
    EXPECT_EQ(other.ctl.GetText(), "target\r");

    // A read-only target accepts nothing; a read-only source only copies.
    other.ctl.SetReadOnly(true);
    f.ctl.SetSelection({0, 6});
    f.dragSelection();
    EXPECT_EQ(other.ctl.GetText(), "target\r");
    EXPECT_EQ(f.ctl.GetText(), "first word here\rsecond line\r");
    f.ctl.SetReadOnly(true);
    int allowed = -1;
    f.dropOn(other.ctl, 0, 0, &allowed);
    f.dragSelection();
    EXPECT_EQ(allowed, deCopy);
}

TEST(ControlDragDrop, FormatsFilesAndTheDropEvent) {
    DragFixture f;
    FakeData both;
    both.items[stText] = {"plain"};
    both.items[stHTML] = {"<b>html</b>"};
    EXPECT_EQ(f.dropForeign(both, 0, MK_CONTROL), deCopy);
    EXPECT_EQ(f.ctl.GetText().substr(0, 11), "<b>html</b>") << "HTML goes before text";
    f.ctl.SetText("x\r");
    FakeData wrapped;
    wrapped.items[stHTML] = {"Version:0.9\r\nStartHTML:1\r\n<html><body><!--StartFragment-->kept<!--EndFragment-->"};
    f.ctl.OnDataDrop = [](TCustomRudivoVoru&, TSourceTypes& t) {
        t = (t & ~sourceBit(stAsText)) | sourceBit(stExtractHTML);
    };
    f.dropForeign(wrapped, 1);
    EXPECT_EQ(f.ctl.GetText(), "xkept\r") << "the fragment without the clipboard header";
    f.ctl.OnDataDrop = [](TCustomRudivoVoru&, TSourceTypes& t) { t |= sourceBit(stIgnore); };
    EXPECT_EQ(f.dropForeign(both, 0), deNone);
    EXPECT_EQ(f.ctl.GetText(), "xkept\r");
    f.ctl.OnDataDrop = nullptr;

    // Files: refused without the option or a handler's say; handed over with the point.
    FakeData files;
    files.items[stFileNames] = {"/tmp/a.c", "/tmp/b c.h"};
    std::vector<std::string> got;
    f.ctl.OnFilesDropped = [&](TCustomRudivoVoru&, std::vector<std::string>& list, int x, int y) {
        got = list;
        EXPECT_GE(x, 0);
        EXPECT_GE(y, 0);
    };
    f.ctl.Settings().SetOptions(f.ctl.Settings().Options() & ~smoProcessDroppedFiles);
    EXPECT_EQ(f.dropForeign(files, 0), deNone);
    EXPECT_TRUE(got.empty());
    f.ctl.Settings().SetOptions(f.ctl.Settings().Options() | smoProcessDroppedFiles);
    f.ctl.OnDataDrop = [](TCustomRudivoVoru&, TSourceTypes& t) { t &= ~sourceBit(stAsText); };
    f.dropForeign(files, 0);
    EXPECT_EQ(got, files.items[stFileNames]);
    EXPECT_EQ(f.ctl.GetText(), "xkept\r") << "without stAsText the names are not typed in";
    EXPECT_EQ(f.host.focusRequests, 1);

    // The desktop's file drop message, outside the client area.
    got.clear();
    std::vector<std::string> names{"/tmp/c.txt"};
    f.ctl.OnFilesDropped = [&](TCustomRudivoVoru&, std::vector<std::string>& list, int x, int y) {
        got = list;
        EXPECT_EQ(x, -1);
        EXPECT_EQ(y, -1);
    };
    f.ctl.perform(WM_DROPFILES, reinterpret_cast<std::uintptr_t>(&names), (5000 << 16) | 5);
    EXPECT_EQ(got, names);
}

} // namespace
} // namespace qorvi
