// std::string's members for the exe, compiled here for the Pentium like the
// rest of it. The C++ library's copy is built for the Pentium Pro (cmov);
// the linker takes these before it looks there. Compiled outside link-time
// optimisation, which crashes the compiler on them, and at -O2, which
// inlines the character helpers that the optimised objects also define.
#include <string>

template class std::__cxx11::basic_string<char>;
