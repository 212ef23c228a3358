#pragma once

// Server system codes (the client's Vendor property) and their detection
// from a SYST reply.

#include <string>

namespace qorvi {

constexpr int kVendorUnix = 2400;
constexpr int kVendorDos = 2401;
constexpr int kVendorVm = 2402;
constexpr int kVendorMacOs = 2404;
constexpr int kVendorVms = 2406;
constexpr int kVendorMvs = 2408;
constexpr int kVendorOther = 2410;
constexpr int kVendorDetect = 2411;
constexpr int kVendorOs400 = 2414;
constexpr int kVendorNetWare = 2416;

// The code of the first system named in the upper-cased reply, tested in
// the order UNIX, NETWARE, DOS, WINDOWS, VMS, MVS, VM, MACOS, OS/400;
// kVendorOther when none is.
int vendorFromSystReply(const std::string& reply);

} // namespace qorvi
