#pragma once

// A ShellUi for tests: records every box and answers from a script.

#include "platform/shell_ui.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qorvi::test {

class FakeShellUi : public ShellUi {
public:
    struct Box {
        std::string text;
        MsgIcon icon;
        MsgButtons buttons;
    };

    // Answers for the next question boxes (Yes/No...), in order; Ok or the
    // default answer when the script is empty.
    std::deque<MsgResult> answers;
    MsgResult defaultAnswer = MsgResult::No;
    std::deque<std::optional<std::string>> inputs;
    std::deque<std::optional<std::string>> files;

    std::vector<Box> boxes;
    std::vector<FileDialogOptions> dialogs; // every open and save dialog shown
    int busyDepth = 0;

    MsgResult messageBox(const std::string& text, const std::string&, MsgIcon icon,
                         MsgButtons buttons) override {
        boxes.push_back({text, icon, buttons});
        if (buttons == MsgButtons::Ok)
            return MsgResult::Ok;
        if (answers.empty())
            return defaultAnswer;
        MsgResult r = answers.front();
        answers.pop_front();
        return r;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string& def) override {
        if (inputs.empty())
            return def;
        auto r = inputs.front();
        inputs.pop_front();
        return r;
    }
    std::optional<std::string> openFileDialog(const FileDialogOptions& o) override {
        dialogs.push_back(o);
        return nextFile();
    }
    std::optional<std::string> saveFileDialog(const FileDialogOptions& o) override {
        dialogs.push_back(o);
        return nextFile();
    }
    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
    // The user presses Escape at this poll of cancelRequested (-1: never).
    int cancelAtPoll = -1;
    int polls = 0;
    // Runs at each poll, as the events a busy stretch lets through would.
    std::function<void()> onPoll;
    bool cancelRequested() override {
        if (onPoll)
            onPoll();
        return cancelAtPoll >= 0 && ++polls > cancelAtPoll;
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& b : boxes)
            out.push_back(b.text);
        return out;
    }

private:
    std::optional<std::string> nextFile() {
        if (files.empty())
            return std::nullopt;
        auto r = files.front();
        files.pop_front();
        return r;
    }
};

} // namespace qorvi::test
