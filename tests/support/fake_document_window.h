#pragma once

// A document window's surroundings for tests: a recording view and a main
// window that records the notification messages.

#include "app/document_host.h"
#include "app/document_window.h"
#include "app/setting_values.h"
#include "platform/hive.h"
#include "tests/support/fake_document_editor.h"
#include "tests/support/fake_shell_timer.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/temp_dir.h"

#include <string>
#include <vector>

namespace qorvi::test {

class FakeDocumentView : public DocumentView {
public:
    std::string captionText;
    std::string panels[4];
    bool shown = true;
    bool maximised = false;
    bool readOnlyChecked = false;
    bool watchChecked = false;

    void setCaption(const std::string& caption) override { captionText = caption; }
    std::string caption() const override { return captionText; }
    void setStatusText(int panel, const std::string& text) override { panels[panel] = text; }
    bool isShown() const override { return shown; }
    bool isMaximised() const override { return maximised; }
    void setReadOnlyChecked(bool checked) override { readOnlyChecked = checked; }
    void setWatchChecked(bool checked) override { watchChecked = checked; }
};

class RecordingDocumentHost : public DocumentHost {
public:
    struct Message {
        std::uint32_t msg;
        std::uintptr_t wParam;
        std::string name; // lParam of 1228 when not 0
        bool hasName;
        bool operator==(const Message&) const = default;
    };
    explicit RecordingDocumentHost(Hive& hive) : values(hive) {}

    std::vector<Message> messages;
    std::int32_t watchLines = 30;
    SettingValues values;
    int remoteSaves = 0;

    std::intptr_t sendMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        bool named = msg == kDocumentTabMessage && lParam != 0;
        messages.push_back(
            {msg, wParam, named ? std::string(reinterpret_cast<const char*>(lParam)) : "", named});
        return 0;
    }
    std::int32_t watchLineCount() const override { return watchLines; }
    SettingValues& settings() override { return values; }
    bool saveRemoteDocument(DocumentWindow&) override {
        ++remoteSaves;
        return false;
    }
};

// One document window with everything around it.
struct DocumentFixture {
    TempDir dir;
    Hive hive{dir.file("hkcu.reg")};
    FakeShellUi ui;
    FakeDocumentView view;
    FakeDocumentEditor editor;
    RecordingDocumentHost host{hive};
    FakeShellTimer timer;
    DocumentWindow window{view, editor, host, ui, timer, 7};
};

} // namespace qorvi::test
