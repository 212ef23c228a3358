#pragma once

// The logic of a document window (`TMDIChild`): one file in one editor
// control. It keeps what the window knows about its document - file path,
// where a remote document came from, its document id, the collapsed
// sections and the watch state - and runs the window's commands: saving,
// closing, read-only, reload, undo, the clipboard, go to line, collapsing
// and expanding, and the file watch. The main window hears of changes
// through the notification messages 1225, 1226 and 1228.

#include "app/code_collapse.h"
#include "app/file_watch.h"
#include "editor/control/rudivo_voru_events.h"
#include "platform/file_system.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qorvi {

class DocumentEditor;
class DocumentHost;
class DocumentView;
class ShellTimer;
class ShellUi;
class TextLoader;
struct ParserSlot;

class DocumentWindow {
public:
    static constexpr const char* kReadOnlySuffix = " (Read Only)";
    static constexpr const char* kMsgReadOnly = "File is read only. Cannot save";
    static constexpr const char* kMsgWasWatched = "You cannot save this file since it was being watched. You "
                                                  "should not watch a file that you want to modify.";
    static constexpr const char* kMsgModified = "The file '%s' has been modified. Would you like to save it?";
    static constexpr const char* kMsgReloadModified =
        "The file '%s' has been modified. Reload it from disk and lose the changes?";
    static constexpr const char* kMsgChangedOnDisk =
        "The file '%s' has been changed on disk by another program. Reload it?";
    static constexpr const char* kMsgChangedOnDiskModified =
        "The file '%s' has been changed on disk by another program. Reload it and lose the changes made "
        "here?";
    static constexpr const char* kMsgDeletedOnDisk =
        "The file '%s' has been deleted or moved on disk. Saving it will create it again.";
    static constexpr const char* kMsgOverwriteChanged =
        "The file '%s' has been changed on disk by another program since it was opened or saved here. "
        "Overwrite it with the text in the editor?";
    static constexpr const char* kMsgRecreateDeleted = "The file '%s' no longer exists on disk. Save it again?";
    static constexpr const char* kMsgReadOnlyFile =
        "The file '%s' is read-only and cannot be saved. Save the text under another name?";
    static constexpr const char* kMsgInvalidNumber = "Invalid number";
    static constexpr const char* kMsgCannotConvert =
        "The document holds characters that %s cannot represent. It was not converted.";
    // The status panel that names the document's encoding.
    static constexpr int kEncodingPanel = 3;
    static constexpr const char* kMsgOfferUtf8 =
        "The character %s cannot be represented in Windows-1252, the encoding of this document. Convert the "
        "document to UTF-8?";
    static constexpr const char* kMsgRemoteWatch = "Cannot watch a remote file";

    DocumentWindow(DocumentView& view, DocumentEditor& editor, DocumentHost& host, ShellUi& ui,
                   ShellTimer& watchTimer, int documentId);
    DocumentWindow(const DocumentWindow&) = delete;
    DocumentWindow& operator=(const DocumentWindow&) = delete;

    // ---- what the window holds
    int documentId() const { return documentId_; }
    const std::string& filePath() const { return filePath_; }
    void setFilePath(const std::string& path) { filePath_ = path; }
    bool remote() const { return remote_; }
    const std::string& remoteDirectory() const { return remoteDirectory_; }
    const std::string& siteName() const { return siteName_; }
    // Marks the document as one that came from an FTP site.
    void setRemote(const std::string& siteName, const std::string& remoteDirectory, const std::string& name);
    DocumentEditor& editor() { return editor_; }
    const DocumentEditor& editor() const { return editor_; }
    DocumentView& view() { return view_; }
    const CodeCollapseList& collapses() const { return collapses_; }
    const FileWatch& watch() const { return watch_; }
    // Set while the window is closing: it no longer counts as open.
    bool closing() const { return closing_; }
    // Where the save dialog starts (the main window sets the explorer's
    // local directory before Save and Save As).
    void setSaveDirectory(const std::string& directory) { saveDirectory_ = directory; }

    // ---- opening
    void setParser(const ParserSlot& slot);
    // Loads the file into the editor in place of its text; the document is
    // then unmodified. Raises when the file cannot be read (the text stays).
    void loadFile(const std::string& path);
    // The same with bytes received from elsewhere: no file on disk is watched.
    void loadLoaded(TextLoader& loader);
    // Read-only: editor and caption (" (Read Only)" appended).
    void makeReadOnly();

    // ---- events of the window
    // The editor changed: caret position and "Modified" in the status bar.
    void editorChanged();
    void activated();
    // Tells the user when another program changed or deleted the file
    // since it was loaded or saved here, and offers to reload it.
    void checkDiskChange();
    // The close query: false keeps the window open.
    bool closeQuery();
    // Asks about unsaved changes ahead of a close that takes every window
    // (the program's exit): true when the window may close. The answer
    // stands for its close query until withdrawn.
    bool agreeToClose();
    void withdrawCloseAgreement() { closeAgreed_ = false; }
    // The window goes.
    void closed();

    // ---- saving
    bool save();
    bool saveAs();
    bool saveTo(const std::string& path);
    // Writes the text to save (collapsed sections expanded) to `path` and
    // leaves the modified flag alone: a remote save uploads this copy and
    // calls markSaved only once the server has confirmed it. Raises with
    // the message to show when the file cannot be written.
    void writeCopyTo(const std::string& path);
    // The same copy handed to `sink` a piece at a time.
    void writeCopyInto(const std::function<void(const char*, std::size_t)>& sink);
    void markSaved();

    // ---- commands
    // The context menu's "Read Only" with its new check state.
    void setReadOnlyCommand(bool checked);
    void reload();
    // Reads the file again in the other encoding (asking first when there
    // are changes to lose).
    void reopenInOtherEncoding();
    // Converts the text to the other encoding and saves it under a name the
    // user chooses; refuses, with a message, when a character cannot be
    // represented, and converts back when the save does not happen.
    bool convertEncoding();
    // A typed or pasted character (UTF-8) that this Windows-1252 document
    // cannot hold: offers to convert the document to UTF-8; true when done.
    bool offerUtf8For(const std::string& character);
    void undo();
    void redo();
    void copy();
    void cut();
    void paste();
    void selectAll();
    // Files dropped on the text go to the main window to be opened.
    void filesDropped(const std::vector<std::string>& names);
    // What a document takes of pasted or dropped data (the editor's
    // OnDataDrop): plain text rather than the same text as HTML markup, only
    // the marked fragment of HTML, and dropped files opened rather than their
    // names typed in.
    static TSourceTypes dropTypes(TSourceTypes types);
    bool hasSelection() const;
    // Go to the 1-based line n (clamped to the text); 0 asks for it.
    void goToLine(std::int32_t n);
    void collapseSection();
    // A click in the gutter of the 1-based line.
    void gutterClicked(std::int32_t line);
    void setBookmark(int index);
    void jumpToBookmark(int index);
    void indent();
    void undent();

    // ---- file watch
    // Returns the new state.
    bool setWatch(bool on);
    void watchTimerFired();

private:
    // After a load: markers, the modified state and the encoding panel.
    void textLoaded();
    // Runs `write` over the text with the collapsed sections' markers in place.
    void writeCopy(const std::function<void()>& write);
    // Saves under the file's name, or asks for one (offering `suggested`).
    bool saveLocal(const std::string& suggested = {});
    // The name the questions show: the path, or the caption of an untitled
    // document.
    std::string shownName() const;
    // Asks before a save replaces a file that changed or went on disk, or
    // that is read-only (offering Save As). False: do not write to `path`;
    // `savedAs` tells whether Save As saved the text instead.
    bool mayWriteTo(const std::string& path, bool& savedAs);
    // Loads the file again, keeping the caret where it can.
    void reloadFromDisk();
    void rememberDiskStamp(const std::string& path);
    // Asks whether to save a modified text: false when the user cancels or
    // the save fails, so whatever was about to happen does not.
    bool offerToSaveChanges();
    // Panel 1 follows the modified flag; the main window recounts on a change.
    void showModifiedState();
    void showEncoding();
    void setCaptionAndTab(const std::string& path);
    template <class F> void editEvenIfReadOnly(F&& edit);

    DocumentView& view_;
    DocumentEditor& editor_;
    DocumentHost& host_;
    ShellUi& ui_;
    ShellTimer& watchTimer_;
    const int documentId_;

    std::string filePath_;
    std::string remoteDirectory_;
    std::string siteName_;
    bool remote_ = false;
    std::string saveDirectory_;
    std::string panel1_;
    CodeCollapseList collapses_;
    FileWatch watch_;
    bool readOnlyBeforeWatch_ = false;
    bool closing_ = false;
    bool closeAgreed_ = false;
    // How the file stood when it was last loaded or saved here, and a later
    // state of it the user chose not to reload (asked about once).
    std::string diskPath_;
    std::optional<fs::FileStamp> diskStamp_;
    std::optional<fs::FileStamp> declinedStamp_;
    bool deletionReported_ = false;
    std::string encodingPanel_;
};

} // namespace qorvi
