#include "app/document_window.h"

#include "app/document_editor.h"
#include "app/document_host.h"
#include "app/document_text.h"
#include "app/setting_values.h"
#include "app/shell_timer.h"
#include "editor/support/message_format.h"
#include "platform/file_system.h"
#include "platform/shell_ui.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace qorvi {

namespace {

// Painting waits while the text is written or cut, and comes back however
// the work ends.
class FrozenPainting {
public:
    explicit FrozenPainting(DocumentEditor& editor) : editor_(editor) { editor_.setPaintingFrozen(true); }
    ~FrozenPainting() { editor_.setPaintingFrozen(false); }
    FrozenPainting(const FrozenPainting&) = delete;
    FrozenPainting& operator=(const FrozenPainting&) = delete;

private:
    DocumentEditor& editor_;
};

bool isBlank(const std::string& s) {
    return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

DocumentWindow::DocumentWindow(DocumentView& view, DocumentEditor& editor, DocumentHost& host, ShellUi& ui,
                               ShellTimer& watchTimer, int documentId)
    : view_(view), editor_(editor), host_(host), ui_(ui), watchTimer_(watchTimer), documentId_(documentId) {
}

void DocumentWindow::setRemote(const std::string& siteName, const std::string& remoteDirectory,
                               const std::string& name) {
    siteName_ = siteName;
    remoteDirectory_ = remoteDirectory;
    filePath_ = name;
    remote_ = true;
}

void DocumentWindow::setParser(const ParserSlot& slot) {
    editor_.setParser(slot);
}

void DocumentWindow::loadFile(const std::string& path) {
    // Taken first: a change while the file is read must not pass unnoticed.
    const std::optional<fs::FileStamp> before = fs::fileStamp(path);
    editor_.loadFromFile(path);
    diskPath_ = path;
    diskStamp_ = before;
    textLoaded();
}

void DocumentWindow::loadLoaded(TextLoader& loader) {
    editor_.loadFromLoader(loader);
    diskPath_.clear();
    diskStamp_.reset();
    textLoaded();
}

void DocumentWindow::textLoaded() {
    declinedStamp_.reset();
    deletionReported_ = false;
    // The old text's markers went with it.
    collapses_.clear();
    editor_.clearModified();
    showModifiedState();
    showEncoding();
}

void DocumentWindow::showEncoding() {
    const std::string name(encodingName(editor_.encoding()));
    if (name != encodingPanel_)
        view_.setStatusText(kEncodingPanel, encodingPanel_ = name);
}

void DocumentWindow::rememberDiskStamp(const std::string& path) {
    diskPath_ = path;
    diskStamp_ = fs::fileStamp(path);
    declinedStamp_.reset();
    deletionReported_ = false;
}

std::string DocumentWindow::shownName() const {
    return filePath_.empty() ? view_.caption() : filePath_;
}

void DocumentWindow::checkDiskChange() {
    // A watched document shows the file's tail as it grows and never saves.
    if (remote_ || closing_ || watch_.watching() || watch_.wasWatched() || !diskStamp_ || diskPath_ != filePath_)
        return;
    const std::optional<fs::FileStamp> now = fs::fileStamp(diskPath_);
    if (!now) {
        if (!deletionReported_) {
            deletionReported_ = true;
            ui_.showInformation(formatMsg(kMsgDeletedOnDisk, filePath_));
        }
        return;
    }
    deletionReported_ = false;
    if (*now == *diskStamp_ || now == declinedStamp_)
        return;
    // Asked once for each change, also when the box lets this run again.
    declinedStamp_ = now;
    if (ui_.confirm(formatMsg(editor_.modified() ? kMsgChangedOnDiskModified : kMsgChangedOnDisk, filePath_)))
        reloadFromDisk();
}

void DocumentWindow::makeReadOnly() {
    editor_.setReadOnly(true);
    view_.setReadOnlyChecked(true);
    view_.setCaption(view_.caption() + kReadOnlySuffix);
}

// ---- events

void DocumentWindow::editorChanged() {
    collapses_.textChanged(editor_);
    // The counts follow the flag both ways: an undo back to the saved text
    // makes the document unmodified again.
    const bool modified = editor_.modified();
    if (panel1_.empty() == modified && view_.isShown())
        host_.sendMessage(kRecountMessage, 0, 0);
    const std::int32_t caret = editor_.selection().second;
    const std::int32_t line = editor_.lineOfOffset(caret);
    const std::int32_t lineStart = editor_.lineStart(line);
    view_.setStatusText(0, "Line " + std::to_string(line + 1) + ", Pos " +
                               std::to_string(editor_.cellsBetween(lineStart, std::max(lineStart, caret))));
    showEncoding();
    panel1_ = modified ? "Modified" : "";
    view_.setStatusText(1, panel1_);
}

void DocumentWindow::showModifiedState() {
    std::string text = editor_.modified() ? "Modified" : "";
    if (text == panel1_)
        return;
    panel1_ = text;
    view_.setStatusText(1, panel1_);
    host_.sendMessage(kRecountMessage, 0, 0);
}

void DocumentWindow::activated() {
    host_.sendMessage(kSelectTabMessage, static_cast<std::uintptr_t>(documentId_), 0);
    checkDiskChange();
}

bool DocumentWindow::offerToSaveChanges() {
    if (!editor_.modified())
        return true;
    switch (ui_.messageBox(formatMsg(kMsgModified, shownName()), ShellUi::applicationTitle(), MsgIcon::Warning,
                           MsgButtons::YesNoCancel)) {
    case MsgResult::Yes:
        return save();
    case MsgResult::No:
        return true;
    default:
        return false;
    }
}

bool DocumentWindow::agreeToClose() {
    closeAgreed_ = offerToSaveChanges();
    return closeAgreed_;
}

bool DocumentWindow::closeQuery() {
    const bool mayClose = closeAgreed_ || offerToSaveChanges();
    host_.settings().setChildMax(view_.isMaximised());
    if (mayClose) {
        host_.sendMessage(kDocumentTabMessage, static_cast<std::uintptr_t>(documentId_), 0);
        closing_ = true;
    }
    return mayClose;
}

void DocumentWindow::closed() {
    closing_ = true;
    watchTimer_.stop();
    watch_.stop();
    host_.sendMessage(kRecountMessage, 1, 0);
    collapses_.clear();
}

// ---- saving

void DocumentWindow::setCaptionAndTab(const std::string& path) {
    view_.setCaption(path);
    const std::string name = fs::fileNamePart(path);
    host_.sendMessage(kDocumentTabMessage, static_cast<std::uintptr_t>(documentId_),
                      reinterpret_cast<std::intptr_t>(name.c_str()));
}

bool DocumentWindow::save() {
    if (remote_)
        return host_.saveRemoteDocument(*this);
    return saveLocal();
}

bool DocumentWindow::saveLocal(const std::string& suggested) {
    if (!isBlank(filePath_))
        return saveTo(filePath_);
    // An untitled document is named by the save dialog; the name sticks only
    // when the file was written under it.
    FileDialogOptions options;
    options.initialDirectory = saveDirectory_;
    options.fileName = fs::fileNamePart(suggested);
    std::optional<std::string> chosen = ui_.saveFileDialog(options);
    if (!chosen || chosen->empty())
        return false;
    const std::string oldCaption = view_.caption();
    const std::string oldPath = filePath_;
    filePath_ = *chosen;
    setCaptionAndTab(filePath_);
    if (saveTo(filePath_))
        return true;
    filePath_ = oldPath;
    setCaptionAndTab(oldCaption);
    return false;
}

bool DocumentWindow::saveAs() {
    const std::string oldPath = filePath_;
    filePath_.clear();
    if (!saveLocal(oldPath)) {
        filePath_ = oldPath;
        return false;
    }
    // Saved as a local file: the document is that file from now on.
    remote_ = false;
    siteName_.clear();
    remoteDirectory_.clear();
    return true;
}

bool DocumentWindow::saveTo(const std::string& path) {
    if (editor_.readOnly()) {
        ui_.showInformation(kMsgReadOnly);
        return false;
    }
    if (watch_.wasWatched()) {
        ui_.showInformation(kMsgWasWatched);
        return false;
    }
    if (path.empty())
        return false;
    bool savedAs = false;
    if (!mayWriteTo(path, savedAs))
        return savedAs;
    const auto caret = editor_.selection();
    try {
        FrozenPainting frozen(editor_);
        collapses_.reattachMarkers(editor_);
        saveDocumentText(editor_, collapses_, path);
    } catch (const std::exception& e) {
        // The file, the text and the modified flag are as they were.
        editor_.setSelection(caret.first, caret.second);
        ui_.showError(e.what());
        return false;
    }
    editor_.setSelection(caret.first, caret.second);
    editor_.clearModified();
    showModifiedState();
    rememberDiskStamp(path);
    host_.documentSaved(path);
    return true;
}

void DocumentWindow::writeCopyTo(const std::string& path) {
    writeCopy([&] { writeDocumentCopy(editor_, collapses_, path); });
}

void DocumentWindow::writeCopyInto(const std::function<void(const char*, std::size_t)>& sink) {
    writeCopy([&] { writeDocumentCopy(editor_, collapses_, sink); });
}

void DocumentWindow::writeCopy(const std::function<void()>& write) {
    const auto caret = editor_.selection();
    try {
        FrozenPainting frozen(editor_);
        collapses_.reattachMarkers(editor_);
        write();
    } catch (...) {
        editor_.setSelection(caret.first, caret.second);
        throw;
    }
    editor_.setSelection(caret.first, caret.second);
}

void DocumentWindow::markSaved() {
    editor_.clearModified();
    showModifiedState();
}

bool DocumentWindow::mayWriteTo(const std::string& path, bool& savedAs) {
    savedAs = false;
    // A file the user may not write stays as it is: the text goes elsewhere
    // or stays modified here.
    if (fs::isReadOnlyFile(path)) {
        if (ui_.confirm(formatMsg(kMsgReadOnlyFile, path)))
            savedAs = saveAs();
        return false;
    }
    if (path != diskPath_ || !diskStamp_)
        return true;
    const std::optional<fs::FileStamp> now = fs::fileStamp(path);
    if (!now)
        return ui_.confirm(formatMsg(kMsgRecreateDeleted, path));
    if (*now != *diskStamp_)
        return ui_.confirm(formatMsg(kMsgOverwriteChanged, path));
    return true;
}

// ---- commands

void DocumentWindow::setReadOnlyCommand(bool checked) {
    editor_.setReadOnly(checked);
    view_.setReadOnlyChecked(checked);
    std::string caption = view_.caption();
    if (checked) {
        view_.setCaption(caption + kReadOnlySuffix);
    } else if (auto at = caption.find(kReadOnlySuffix); at != std::string::npos) {
        view_.setCaption(caption.substr(0, at));
    }
}

void DocumentWindow::reload() {
    if (remote_ || filePath_.empty())
        return;
    if (editor_.modified() && !ui_.confirm(formatMsg(kMsgReloadModified, filePath_)))
        return;
    reloadFromDisk();
}

namespace {

TextEncoding otherEncoding(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? TextEncoding::Windows1252 : TextEncoding::Utf8;
}

} // namespace

void DocumentWindow::reopenInOtherEncoding() {
    const TextEncoding other = otherEncoding(editor_.encoding());
    if (!remote_ && !filePath_.empty() && fs::fileStamp(filePath_)) {
        if (editor_.modified() && !ui_.confirm(formatMsg(kMsgReloadModified, filePath_)))
            return;
        reloadFromDisk();
    }
    // The bytes are the file's: only how they read changes.
    editor_.setEncoding(other);
    showEncoding();
}

bool DocumentWindow::convertEncoding() {
    const TextEncoding from = editor_.encoding();
    const TextEncoding to = otherEncoding(from);
    if (!editor_.convertEncoding(to)) {
        ui_.showError(formatMsg(kMsgCannotConvert, std::string(encodingName(to))));
        return false;
    }
    showEncoding();
    if (saveAs())
        return true;
    // Not saved: the text goes back to how it was.
    editor_.convertEncoding(from);
    showEncoding();
    return false;
}

bool DocumentWindow::offerUtf8For(const std::string& character) {
    std::string name = "U+";
    const int length = utf8SequenceLength(character);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%04X",
                  length ? static_cast<unsigned>(decodeUtf8Sequence(character, length)) : 0xFFFDu);
    name += hex;
    if (!ui_.confirm(formatMsg(kMsgOfferUtf8, name)))
        return false;
    if (!editor_.convertEncoding(TextEncoding::Utf8))
        return false;
    showEncoding();
    return true;
}

void DocumentWindow::reloadFromDisk() {
    const auto caret = editor_.selection();
    loadFile(filePath_);
    const std::int32_t length = editor_.textLength();
    editor_.setSelection(std::min(caret.first, length), std::min(caret.second, length));
}

void DocumentWindow::undo() {
    if (editor_.canUndo())
        editor_.undo();
}

void DocumentWindow::redo() {
    editor_.redo();
}

void DocumentWindow::copy() {
    editor_.copyToClipboard();
}
void DocumentWindow::cut() {
    editor_.cutToClipboard();
}
void DocumentWindow::paste() {
    editor_.pasteFromClipboard();
}
void DocumentWindow::selectAll() {
    editor_.selectAll();
}

bool DocumentWindow::hasSelection() const {
    auto [anchor, caret] = editor_.selection();
    return anchor != caret;
}

void DocumentWindow::goToLine(std::int32_t n) {
    if (n == 0) {
        std::optional<std::string> answer = ui_.inputBox("Input Value", "Type the line number", "1");
        if (!answer)
            return;
        n = parseIntegerOr(*answer, -1);
        if (n == -1) {
            ui_.showInformation(kMsgInvalidNumber);
            return;
        }
    }
    goToLineOf(editor_, n);
}

// Collapsing and expanding change how a read-only document is shown, not
// what it saves: one that was unmodified stays so, and closes without asking
// to save what could not be saved.
template <class F> void DocumentWindow::editEvenIfReadOnly(F&& edit) {
    const bool readOnly = editor_.readOnly();
    const bool wasModified = editor_.modified();
    if (readOnly)
        editor_.setReadOnly(false);
    try {
        edit();
    } catch (...) {
        editor_.setReadOnly(readOnly);
        throw;
    }
    editor_.setReadOnly(readOnly);
    if (readOnly && !wasModified && editor_.modified()) {
        editor_.clearModified();
        showModifiedState();
    }
}

void DocumentWindow::collapseSection() {
    editEvenIfReadOnly([&] { collapses_.collapse(editor_, ui_); });
}

void DocumentWindow::gutterClicked(std::int32_t line) {
    editEvenIfReadOnly([&] {
        collapses_.reattachMarkers(editor_);
        collapses_.expand(editor_, ui_, line);
    });
}

void DocumentWindow::setBookmark(int index) {
    editor_.setBookmark(index, editor_.lineOfOffset(editor_.selection().second) + 1);
}

void DocumentWindow::jumpToBookmark(int index) {
    editor_.jumpToBookmark(index);
}
void DocumentWindow::indent() {
    editor_.indent();
}
void DocumentWindow::undent() {
    editor_.undent();
}

// ---- file watch

bool DocumentWindow::setWatch(bool on) {
    if (!on) {
        const bool was = watch_.watching();
        if (was) {
            watch_.stop();
            editor_.setReadOnly(readOnlyBeforeWatch_);
        }
        watchTimer_.stop();
        view_.setWatchChecked(false);
        if (was)
            host_.watchChanged(*this);
        return false;
    }
    if (watch_.watching())
        return true;
    if (remote_) {
        ui_.showInformation(kMsgRemoteWatch);
        return false;
    }
    // A watched document never saves again: its changes are saved now or
    // never.
    if (!offerToSaveChanges())
        return false;
    readOnlyBeforeWatch_ = editor_.readOnly();
    {
        FrozenPainting frozen(editor_);
        const bool shownIsOnDisk = diskStamp_ && diskPath_ == filePath_ && !editor_.modified();
        watch_.start(editor_, host_.watchLineCount(), filePath_, shownIsOnDisk ? diskStamp_->size : -1);
    }
    watchTimer_.start(FileWatch::kIntervalMs);
    editor_.setReadOnly(true);
    editor_.clearModified();
    showModifiedState();
    view_.setWatchChecked(true);
    host_.watchChanged(*this);
    return true;
}

void DocumentWindow::watchTimerFired() {
    if (!watch_.watching())
        return;
    watch_.tick(editor_, filePath_, host_.watchLineCount());
    editor_.clearModified();
    showModifiedState();
    showEncoding();
}

void DocumentWindow::filesDropped(const std::vector<std::string>& names) {
    host_.filesDropped(names);
}

TSourceTypes DocumentWindow::dropTypes(TSourceTypes types) {
    const TSourceTypes text = sourceBit(stText) | sourceBit(stUnicode);
    if (types & sourceBit(stHTML)) {
        if (types & text) {
            types &= ~sourceBit(stHTML);
        } else {
            types |= sourceBit(stExtractHTML);
            types &= ~sourceBit(stAsText);
        }
    }
    if ((types & sourceBit(stFileNames)) && !(types & text))
        types &= ~sourceBit(stAsText);
    return types;
}

} // namespace qorvi
