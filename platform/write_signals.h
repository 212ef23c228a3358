#pragma once

// A write that the system cuts short - past the file-size limit (ulimit -f)
// or into a connection whose reader has gone - must be an ordinary failed
// write that the writer reports, not a signal that ends the program and
// takes the unsaved text of every other document with it.

namespace qorvi {

// Ignores SIGXFSZ and SIGPIPE for the whole process.
void ignoreWriteSignals();

} // namespace qorvi
