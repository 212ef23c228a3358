#pragma once

// Lets Qt's event loop run during a blocking wait.

#include "platform/pump.h"

namespace qorvi {

class QtPump : public Pump {
public:
    void pump() override;
};

} // namespace qorvi
