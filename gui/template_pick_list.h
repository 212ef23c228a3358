#pragma once

// The pop-up list of code templates: one row per template, its description
// and, in bold further right, its name. It opens under the caret line (or
// above it when there is no room below) inside the editor, takes the focus,
// and reports back to the editor's core: typed characters search by name,
// Return or a double click chooses, Escape or losing the focus closes it.

#include <QListWidget>
#include <QRect>
#include <functional>
#include <string>
#include <vector>

namespace qorvi {

class TemplatePickList : public QListWidget {
    Q_OBJECT
public:
    explicit TemplatePickList(QWidget* parent);

    // `items` are "description TAB name"; `caret` in the parent's pixels.
    void showItems(const std::vector<std::string>& items, int selected, const QRect& caret);
    // Hides without reporting a close (the core closed it).
    void dismiss();
    bool active() const { return active_; }

    // A typed character: the row to select, or -1 for none.
    std::function<int(char)> onKey;
    std::function<void(int)> onChosen;
    std::function<void()> onClosed;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void finish(bool chosen);

    bool active_ = false;
};

} // namespace qorvi
