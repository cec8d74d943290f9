// Library-wide state behind the entry point (internal to kxli).
#ifndef KXLI_KXLLIB_HPP_
#define KXLI_KXLLIB_HPP_

class KxlSem;

// The library critical section.
// REQUIRES: the library is attached (KxlLibraryMain with reason 1).
KxlSem &kxlLibraryCriticalSection();

// Platform layer: the address of the entry `name` exported by `module`, or
// null when it exports none of that name.
using KxlCleanUpEntry = void (*)();
KxlCleanUpEntry kxlFindExport(void *module, const char *name);

#endif  // KXLI_KXLLIB_HPP_
