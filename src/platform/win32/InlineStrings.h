// Included ahead of every source of the exe. The C++ library keeps one
// ready-made copy of all of std::string's members, and code that declares
// them extern links the whole of it (some 30 KB with its unwind tables).
// Without the declaration each source makes only the members it uses,
// which the linker then merges and trims, compiled for the exe's own CPU
// floor (the library's copy is built for the Pentium Pro). Only
// std::string's declarations go; the library's other ready-made templates
// stay in use.
#pragma once
#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
