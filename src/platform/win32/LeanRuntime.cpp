// Replacements for the C++ library's error raisers, linked into the exe
// only. The library's own versions build std::logic_error and friends,
// whose copy-on-write strings and the demangler of the verbose terminate
// handler add about a third to the exe. Ours raise the program's own error,
// which the event dispatch shows like any other.
#include <cstdlib>
#include <new>

#include "core/Error.h"

namespace {
[[noreturn]] void Raise(const char* what) { throw EError(what != nullptr ? what : "Internal error"); }
}  // namespace

namespace std {
void __throw_bad_exception() { Raise("Bad exception"); }
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_bad_cast() { Raise("Invalid type cast"); }
void __throw_bad_typeid() { Raise("Invalid type cast"); }
void __throw_logic_error(const char* what) { Raise(what); }
void __throw_domain_error(const char* what) { Raise(what); }
void __throw_invalid_argument(const char* what) { Raise(what); }
void __throw_length_error(const char* what) { Raise(what); }
void __throw_out_of_range(const char* what) { Raise(what); }
void __throw_out_of_range_fmt(const char* what, ...) { Raise(what); }
void __throw_runtime_error(const char* what) { Raise(what); }
void __throw_range_error(const char* what) { Raise(what); }
void __throw_overflow_error(const char* what) { Raise(what); }
void __throw_underflow_error(const char* what) { Raise(what); }
void __throw_bad_function_call() { Raise("Event handler missing"); }
}  // namespace std

namespace __gnu_cxx {
// The default handler prints the demangled type of an escaped exception.
// None escapes the event dispatch; should one, ending at once is right.
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
