#include "app/entry_sequence.h"

#include "app/handover.h"
#include "app/main_shell.h"
#include "platform/instance_channel.h"
#include "platform/shell_ui.h"

namespace qorvi {

EntryRequest entryRequest(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--help")
            return EntryRequest::Help;
        if (a == "--version")
            return EntryRequest::Version;
    }
    for (const auto& a : args)
        if (a.size() > 2 && a.compare(0, 2, "--") == 0 && a != "--export" && a != "--lang")
            return EntryRequest::UnknownOption;
    return EntryRequest::Start;
}

bool multiInstanceRequested(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "-m" || a == "/m")
            return true;
    return false;
}

std::string helpText() {
    return "Usage: qorvi [-m] [-G] [FILE...]\n"
           "       qorvi --export FORMAT [--lang KEY] FILE [-o OUTPUT]\n"
           "A programmer's text editor with syntax colouring for thirteen languages and FTP editing.\n"
           "\n"
           "  FILE      a file name or pattern (* and ?) to open; relative names are taken\n"
           "            from the current directory. When Qorvi already runs on this\n"
           "            display, the names are handed to it and this start exits.\n"
           "  -m, /m    start a further instance even when one is running\n"
           "  -G, /G    debug mode: appends to debug.log in the current directory a line\n"
           "            for each file queued and each document opened (a later file\n"
           "            name switches it off again)\n"
           "  --export FORMAT [--lang KEY] FILE [-o OUTPUT]\n"
           "            write FILE coloured as html or rtf (or as text or unix text) to\n"
           "            standard output or OUTPUT, without a window; the language is\n"
           "            the one FILE's extension maps to, or KEY (cpp, java, htm, sql,\n"
           "            txt, bas, pas, idl, bat, ini, sh, 4gl, php3)\n"
           "  --help    show this text\n"
           "  --version show the version\n"
           "\n"
           "Settings: $XDG_CONFIG_HOME/qorvi/hkcu.reg; extension mapping: $XDG_DATA_HOME/qorvi/Qorvi.dat\n";
}

std::string versionText() { return "Qorvi 0.1.0\n"; }

HandoverResult handOver(InstanceConnection& running, const std::vector<std::string>& args,
                        const std::string& currentDirectory, ShellUi& ui) {
    HandoverTexts texts = encodeHandoverNames(handoverNames(args, currentDirectory), kMaxPostedText);
    for (const auto& text : texts.texts)
        if (!running.send({kHandoverNamesMessage, 0, 0, text}))
            return HandoverResult::NotAnswering;
    if (!texts.dropped.empty())
        ui.showPlain(droppedNamesMessage(texts.dropped));
    running.post(WM_SYSCOMMAND, SC_RESTORE, 0);
    return HandoverResult::HandedOver;
}

bool startAnotherInstance(ShellUi& ui) {
    return ui.messageBox("The running Qorvi does not answer; it may be stopped or busy. Start another Qorvi "
                         "that opens these files?",
                         ShellUi::applicationTitle(), MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
}

} // namespace qorvi
