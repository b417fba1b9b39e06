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

// What a function's catch table (its language-specific data, which GCC
// writes to .gcc_except_table) says for an exception passing the call
// before IP: nothing to do in this function; clean-ups to run, then on;
// a handler that takes it; or, for a call the table does not name (one
// the compiler was told cannot throw), the end of the program. The exes'
// personality routine (LeanRuntime.cpp) asks this at each frame; the C++
// library's own routine brings dynamic throw(...) lists and their
// unexpected-handler, which the programs have none of.
enum class TLandingKind { Nothing, Cleanup, Handler, Terminate };
struct TLanding {
    TLandingKind Kind = TLandingKind::Nothing;
    std::uintptr_t Pad = 0;  // where the function goes on: its landing pad
    int Selector = 0;        // the handler's number, which the pad switches on; 0 for clean-ups
};
// Whether the handler for TYPE (a std::type_info; null for "catch (...)")
// takes the exception passing.
using TCatches = bool (*)(const void* type, void* data);
TLanding FindLanding(const unsigned char* table, std::uintptr_t functionStart, std::uintptr_t ip,
                     TCatches catches, void* data);
