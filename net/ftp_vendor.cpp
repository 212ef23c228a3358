#include "net/ftp_vendor.h"

#include <cctype>

namespace qorvi {

int vendorFromSystReply(const std::string& reply) {
    std::string upper = reply;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const struct {
        const char* name;
        int code;
    } systems[] = {
        {"UNIX", kVendorUnix},   {"NETWARE", kVendorNetWare}, {"DOS", kVendorDos},
        {"WINDOWS", kVendorDos}, {"VMS", kVendorVms},         {"MVS", kVendorMvs},
        {"VM", kVendorVm},       {"MACOS", kVendorMacOs},     {"OS/400", kVendorOs400},
    };
    for (const auto& system : systems)
        if (upper.find(system.name) != std::string::npos)
            return system.code;
    return kVendorOther;
}

} // namespace qorvi
