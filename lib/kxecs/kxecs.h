/* kxecs: the common-services layer that kxli reports through.
 *
 * kxli sends every trace record (initialisation stage, operation entry,
 * operation exit, diagnostic text) and asks every pointer question through
 * the five operations below. kxecs hands each record to a sink that an
 * application or a test installs with xcsSetTraceSink; with no sink and the
 * environment variable KXECS_TRACE set to "stderr" or to a file path, it
 * writes one readable line per record there; otherwise records are dropped.
 *
 * Pointer checks refuse a null pointer with a non-zero length and a range
 * that wraps past the top of the address space; beyond that, a check
 * installed with xcsSetPointerCheck decides.
 *
 * Storage that kxli may fail to obtain is asked for through
 * xcsAllocationRefused first; a check installed with xcsSetAllocationCheck
 * can refuse it, so that a program sees kxli run out of storage where it
 * chooses, whichever allocator each module is bound to.
 *
 * A caller that makes many records or checks can ask first whether anyone
 * listens (xcsListeningNow) and skip what would have no effect.
 *
 * All functions may be called from any thread.
 */
#ifndef KXECS_H_
#define KXECS_H_

#include <stdint.h>

#if defined(_WIN32)
#if defined(KXECS_BUILDING)
#define KXECS_EXPORT __declspec(dllexport)
#else
#define KXECS_EXPORT __declspec(dllimport)
#endif
#else
#define KXECS_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The operations the library calls. */
KXECS_EXPORT void xcsCPInitTerm_e(int32_t stage);
KXECS_EXPORT void xtr_fnc_entryFn_e(int32_t component, int32_t function, int32_t zero);
KXECS_EXPORT void xtr_fnc_retcodeFn_e(int32_t component, int32_t function, int32_t value);
KXECS_EXPORT void xtr_printfFn_e(uint16_t component, uint16_t function, uint16_t zero,
                                 const char *text);
/* 0 when `length` bytes at `pointer` may be read (mode 1) or written (mode 2). */
KXECS_EXPORT int32_t xcsCheckPointer_e(const void *pointer, uint64_t length, uint16_t mode);

/* Observing the trace. */
typedef enum { XCS_INIT_TERM, XCS_ENTRY, XCS_EXIT, XCS_TEXT } xcsRecordKind;
/* One trace record, as a sink receives it. */
typedef struct {
  /* What the record reports. */
  xcsRecordKind kind;
  uint32_t component; /* 0 for XCS_INIT_TERM */
  uint32_t function;  /* 0 for XCS_INIT_TERM */
  int32_t value;      /* stage, 0, exit value, or 0 for a text */
  const char *text;   /* XCS_TEXT only; valid during the call */
} xcsTraceRecord;
/* A sink: called with each record and the context it was installed with. */
typedef void (*xcsTraceSink)(const xcsTraceRecord *record, void *context);
/* Installs `sink` (null: none). The sink may be called from any thread. */
KXECS_EXPORT void xcsSetTraceSink(xcsTraceSink sink, void *context);

/* Steering the pointer checks. */
typedef int (*xcsPointerCheck)(const void *pointer, uint64_t length, uint16_t mode, void *context);
/* Installs `check` (null: none); a non-zero answer refuses the pointer. */
KXECS_EXPORT void xcsSetPointerCheck(xcsPointerCheck check, void *context);

/* Steering the library's storage. A check is asked before each allocation
 * that kxli reports as "storage not available" when it yields nothing; a
 * non-zero answer makes that allocation yield nothing. */
typedef int (*xcsAllocationCheck)(uint64_t size, void *context);
/* Installs `check` (null: none). */
KXECS_EXPORT void xcsSetAllocationCheck(xcsAllocationCheck check, void *context);
/* Non-zero when the installed check refuses an allocation of `size` bytes;
 * 0 with no check installed. */
KXECS_EXPORT int32_t xcsAllocationRefused(uint64_t size);

/* Whether anyone listens, for callers that skip work nobody would see.
 * xcsListening holds the bits below; read it with xcsListeningNow, an
 * inline load and no call, so that asking costs next to nothing. The bits
 * change only inside xcsSetTraceSink, xcsSetPointerCheck and
 * xcsSetAllocationCheck, and may change as soon as another thread calls one
 * of them. Callers never write it. */
KXECS_EXPORT extern unsigned int xcsListening;
/* The bits of xcsListening, read with an acquiring atomic load. */
static inline unsigned int xcsListeningNow(void) {
  return __atomic_load_n(&xcsListening, __ATOMIC_ACQUIRE);
}
/* Set while a trace sink is installed or the KXECS_TRACE output is open;
 * while it is clear every record would be dropped. Whether the output is
 * open is decided once, when kxecs is loaded (reading KXECS_TRACE then). */
#define XCS_LISTENING_TRACE 1u
/* Set while a pointer check is installed; while it is clear,
 * xcsCheckPointer_e answers from xcsRangeAddressable alone, so a caller may
 * make that test itself and skip the call. */
#define XCS_LISTENING_CHECK 2u
/* Set while an allocation check is installed; while it is clear,
 * xcsAllocationRefused answers 0 and need not be called. An allocation
 * check observes nothing: it does not make anyone listen to the trace. */
#define XCS_LISTENING_ALLOCATION 4u
/* The test xcsCheckPointer_e makes before any installed check: non-zero
 * unless `length` is non-zero and `pointer` is null or the range wraps past
 * the top of the address space. */
static inline int xcsRangeAddressable(const void *pointer, uint64_t length) {
  const uint64_t start = (uint64_t)(uintptr_t)pointer;
  return length == 0 || (pointer != 0 && start + length >= start);
}

#ifdef __cplusplus
}
#endif

#endif /* KXECS_H_ */
