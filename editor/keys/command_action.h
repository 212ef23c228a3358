#pragma once

// The numbered editing actions the key map binds keys to. The control's
// command handler carries them out; the numbers travel in key-map streams
// and the registry, so they are fixed.

#include <cstdint>

namespace qorvi {

enum TCommandAction : std::int32_t {
    caLEFT = 0,
    caRIGHT,
    caLINEHOME,
    caLINEEND,
    caUP,
    caDOWN,
    caPAGEUP,
    caPAGEDOWN,
    caWORDLEFT,
    caWORDRIGHT,
    caDOCSTART,
    caDOCEND,
    caCUT,
    caCOPY,
    caPASTE,
    caDELETE,
    caBACKSPACE,
    caBLOCKIND,
    caBLOCKUND,
    caINSTOGGLE,
    caSETBOOKMARK0,
    caSETBOOKMARK1,
    caSETBOOKMARK2,
    caSETBOOKMARK3,
    caSETBOOKMARK4,
    caSETBOOKMARK5,
    caSETBOOKMARK6,
    caSETBOOKMARK7,
    caSETBOOKMARK8,
    caSETBOOKMARK9,
    caGOTOBOOKMARK0,
    caGOTOBOOKMARK1,
    caGOTOBOOKMARK2,
    caGOTOBOOKMARK3,
    caGOTOBOOKMARK4,
    caGOTOBOOKMARK5,
    caGOTOBOOKMARK6,
    caGOTOBOOKMARK7,
    caGOTOBOOKMARK8,
    caGOTOBOOKMARK9,
    caDELETELINE,
    caUNDO,
    caREDO,
    caDELPREVWORD,
    caPRINTSEL,
    caDELNEXTWORD,
    caSCROLLUP,
    caSCROLLDOWN,
};

inline constexpr int kCommandActionCount = 48;
// The display names are entries 4146 + code of the control's string table.
inline constexpr int kActionNameStringBase = 4146;

// The display name of an action code ("Cursor left"), empty for other codes.
const char* commandActionDisplayName(int code);

} // namespace qorvi
