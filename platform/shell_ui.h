#pragma once

// The user-facing services the application logic needs from the window
// system: message boxes, input boxes, file dialogs, the busy cursor and the
// status text. The Qt implementation lives in gui/; tests use a scripted fake.

#include <optional>
#include <string>
#include <vector>

namespace qorvi {

enum class MsgButtons { Ok, YesNo, YesNoCancel, YesNoCancelAll };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Yes, No, Cancel, All };

struct FileDialogOptions {
    std::string caption;
    std::string initialDirectory;
    std::string fileName;
    std::string filter = "All files (*.*)|*.*";
};

class ShellUi {
public:
    virtual ~ShellUi() = default;

    // A modal box with the given buttons; returns the button chosen.
    virtual MsgResult messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& defaultValue) = 0;
    // Open and save dialogs; nullopt when cancelled.
    virtual std::optional<std::string> openFileDialog(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogOptions& options) = 0;
    // Busy (hourglass) cursor; calls nest.
    virtual void setBusy(bool busy) = 0;
    // Whether the user cancelled (Escape) the long work running now - a
    // search, or the busy stretch - or, when none runs, the last one.
    // Asked often, so cheap.
    virtual bool cancelRequested() { return false; }

    // The shell's standard boxes.
    void showInformation(const std::string& text) {
        messageBox(text, applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
    }
    void showError(const std::string& text) { messageBox(text, applicationTitle(), MsgIcon::Error, MsgButtons::Ok); }
    // A plain box without icon (the hand-over sender's message).
    void showPlain(const std::string& text) { messageBox(text, applicationTitle(), MsgIcon::None, MsgButtons::Ok); }
    // Yes and No; true on Yes.
    bool confirm(const std::string& text) {
        return messageBox(text, "Confirm", MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
    }

    static std::string applicationTitle() { return "Qorvi"; }
};

} // namespace qorvi
