// KXL_EXPORT marks what kxli exports: its classes and its free functions.
// Everything else in the library is hidden. Building the library defines
// KXL_BUILDING; on Windows that selects dllexport, elsewhere the marks give
// default visibility against the library's hidden default.
#ifndef KXLI_KXLEXP_HPP_
#define KXLI_KXLEXP_HPP_

#if defined(_WIN32)
#if defined(KXL_BUILDING)
#define KXL_EXPORT __declspec(dllexport)
#else
#define KXL_EXPORT __declspec(dllimport)
#endif
#else
#define KXL_EXPORT __attribute__((visibility("default")))
#endif

#endif  // KXLI_KXLEXP_HPP_
