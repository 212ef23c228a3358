#pragma once

// The program's entry decisions before any window exists: --help and
// --version, the multi-instance switch, and handing the command line over to
// a running instance.

#include <string>
#include <vector>

namespace qorvi {

class InstanceConnection;
class ShellUi;

enum class EntryRequest { Help, Version, Start, UnknownOption };

// --help and --version are recognised before the instance lookup, so they
// are never handed over as file names; any other switch beginning with
// "--" that the program does not know is an error (UnknownOption), not a
// file to open.
EntryRequest entryRequest(const std::vector<std::string>& args);
// "-m" or "/m" anywhere on the command line.
bool multiInstanceRequested(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

enum class HandoverResult { HandedOver, NotAnswering };

// The sender's side: sends the names (see handover.h) in records of message
// kHandoverNamesMessage, each answered by the running instance, then posts
// the restore request. NotAnswering when the instance does not take or
// answer a record in time. Boxes go through `ui`.
HandoverResult handOver(InstanceConnection& running, const std::vector<std::string>& args,
                        const std::string& currentDirectory, ShellUi& ui);

// Asked when the running instance does not answer: true to start a further
// instance that opens the files itself.
bool startAnotherInstance(ShellUi& ui);

} // namespace qorvi
