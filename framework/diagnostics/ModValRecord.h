#pragma once

#include "framework/diagnostics/ModValHolder.h"

static_assert(Lumo::kModValMarkerOffset == 9, "the record text below leaves eight bytes for the holder");

// The initializer of a marker record as a writable char array: registration
// byte, room for the holder's address, the marker, then the marker text.
#define LUMO_MODVAL_TEXT(x) #x
#define LUMO_MODVAL_NUMBER(x) LUMO_MODVAL_TEXT(x)
#define LUMO_MODVAL_RECORD_TEXT(file, order, line)                                                                 \
    "\x01"                                                                                                         \
    "\0\0\0\0\0\0\0\0"                                                                                             \
    "LUMOMODVAL" file LUMO_MODVAL_NUMBER(order) "," LUMO_MODVAL_NUMBER(line)
