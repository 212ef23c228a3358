#include "platform/write_signals.h"

#include <csignal>

namespace qorvi {

void ignoreWriteSignals() {
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

} // namespace qorvi
