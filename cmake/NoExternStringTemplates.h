// Forced ahead of every source of the exes (-include, CMakeLists.txt): turns
// off the C++ library's extern template declarations of std::string, and
// only those. The library keeps one ready-made copy of all of
// std::string's members, and code that declares them extern links the
// whole of it (some 30 KB with its unwind tables). Without the declaration
// each source makes only the members it uses, which the linker then merges
// and trims, compiled for the exe's own CPU floor (the library's copy is
// built for the Pentium Pro). The library's other ready-made templates
// stay in use.
//
// It relies on libstdc++'s own rule, in <bits/c++config.h> of GCC 12:
//   "Special case: _GLIBCXX_EXTERN_TEMPLATE == -1 disallows extern
//    templates only in basic_string, thus activating its debug-mode
//    checks even at -O0."
// the setting the library makes itself for _GLIBCXX_ASSERTIONS. It was
// checked against GCC 12's library (Debian 12's mingw-w64) alone: another
// may read the macro otherwise, so the build stops until it is checked
// again. exe.string_templates holds the link maps to it.
#pragma once
#include <bits/c++config.h>

#if !defined(__GLIBCXX__) || !defined(_GLIBCXX_RELEASE) || _GLIBCXX_RELEASE != 12
#error "checked against GCC 12's libstdc++ only: see that <bits/c++config.h> still gives _GLIBCXX_EXTERN_TEMPLATE == -1 this meaning and that exe.string_templates passes, then admit this version"
#endif

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
