#pragma once

#include "framework/diagnostics/ModValRecord.h"
#include "framework/diagnostics/ModValRegistry.h"

// Tweakable literals: M(12), M(2.5f), M("text") read as the literal until a
// reparse (Alt+R with the debug keys on) finds a new value on the same line
// of the source file; M1( to M9( mark further literals where an M( would be
// ambiguous to the eye. Each site leaves a marker record in the program.
// Include this header last: the short macro names would reach any header
// after it.
#define LUMO_MODVAL_SITE(value)                                                                                    \
    ::Lumo::ModValue(                                                                                              \
        [] {                                                                                                       \
            static char record[] = LUMO_MODVAL_RECORD_TEXT(__FILE__, __COUNTER__, __LINE__);                       \
            return record;                                                                                         \
        }(),                                                                                                       \
        value)
#define M(value) LUMO_MODVAL_SITE(value)
#define M1(value) LUMO_MODVAL_SITE(value)
#define M2(value) LUMO_MODVAL_SITE(value)
#define M3(value) LUMO_MODVAL_SITE(value)
#define M4(value) LUMO_MODVAL_SITE(value)
#define M5(value) LUMO_MODVAL_SITE(value)
#define M6(value) LUMO_MODVAL_SITE(value)
#define M7(value) LUMO_MODVAL_SITE(value)
#define M8(value) LUMO_MODVAL_SITE(value)
#define M9(value) LUMO_MODVAL_SITE(value)
