#pragma once

// Names from the command line or a hand-over become entries of the
// pending-open list: a name without a directory is taken in the current
// directory, and the last component may hold "*" and "?".

#include <string>
#include <vector>

namespace qorvi {

class ShellUi;

// Adds every match of `name` to `pending` (absolute paths, sorted by name);
// returns the number added. With nothing matched and `quiet` false, shows
// "File: <name> not found." with the name as extended.
int expandFileArgument(const std::string& name, bool quiet, const std::string& currentDirectory,
                       std::vector<std::string>& pending, ShellUi& ui);

} // namespace qorvi
