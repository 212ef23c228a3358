#pragma once

// The program's entry decisions before any window exists: --help and
// --version, the multi-instance switch, and handing the command line over to
// a running instance.

#include <string>
#include <vector>

namespace qorvi {

class InstanceConnection;
class ShellUi;

enum class EntryRequest { Help, Version, Start };

// --help and --version are recognised before the instance lookup, so they
// are never handed over as file names.
EntryRequest entryRequest(const std::vector<std::string>& args);
// "-m" or "/m" anywhere on the command line.
bool multiInstanceRequested(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

// The sender's side: writes the names into "QorviShare" (zeroed first),
// then posts 1224 and the restore request. Boxes go through `ui`.
void handOver(InstanceConnection& running, const std::vector<std::string>& args,
              const std::string& currentDirectory, ShellUi& ui);

} // namespace qorvi
