// The library entry point, exported so that a program (or a test) can drive
// process attach and detach itself. The platform's own load and unload
// notifications call it with the library's module handle.
//
// Attach (reason 1) initialises the library critical section once, however
// often it is called. Detach (reason 0) deletes it and then runs the
// clean-up chain: the entries "KxlMgrCleanUp", "KxlQueCleanUp" and
// "KxlStrCleanUp", in that order, each called if `module` exports it. Other
// reasons do nothing. The result is always true.
#ifndef KXLI_KXLMAIN_HPP_
#define KXLI_KXLMAIN_HPP_

#include "kxlexp.hpp"

// The two reasons KxlLibraryMain acts on.
inline constexpr unsigned long KXL_PROCESS_DETACH = 0;
inline constexpr unsigned long KXL_PROCESS_ATTACH = 1;

// Attach or detach for the library loaded as `module`, as described above.
extern "C" KXL_EXPORT bool KxlLibraryMain(void *module, unsigned long reason);

#endif  // KXLI_KXLMAIN_HPP_
