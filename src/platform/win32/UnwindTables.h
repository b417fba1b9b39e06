// The search of the compiler's unwind tables (.eh_frame) for the entry of
// the function holding an address: what the unwinder asks for at each
// frame when an exception passes. The exes link this in place of libgcc's
// search, which sorts the tables into a lookup array at start-up and
// brings the code for tables of many modules, registered and removed at
// run time (some 10 KB); the exes have one table, searched in order.
// Portable (no windows.h), so that the unit tests run it natively.
#pragma once

#include <cstdint>

// The entry (FDE) in TABLES, which run to a zero length word, whose
// function holds PC, and the function's start in START; null when none
// does, or an entry is written in a form this search does not read, which
// the unwinder takes as the end of the stack.
const unsigned char* FindUnwindEntry(const unsigned char* tables, std::uintptr_t pc,
                                     std::uintptr_t& start);
