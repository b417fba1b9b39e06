// Replacements for pieces of the C++ runtime, linked into the exes only.
// The library's error raisers build std::logic_error and friends, whose
// copy-on-write strings and the demangler of the verbose terminate handler
// add about a third to the exe. Ours raise the program's own error, which
// the event dispatch shows like any other.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/Error.h"
#include "UnwindTables.h"

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

// The programs run one thread of their own: the window procedures, the
// program manager's conversation and the shell's objects all run on the
// thread that starts them. The C++ library keeps the exceptions being
// handled in a thread-local variable, and libgcc's thread-local store
// brings keys, semaphores and their exit callbacks (some 4 KB); the one
// below is what it does with one thread. The same holds for the pieces of
// the exception runtime further down.
extern "C" {
// A thread-local variable as the compiler describes it (libgcc's
// __emutls_object): made on first use from its initial bytes, or zeroed.
struct TEmuTls {
    std::size_t Size;
    std::size_t Align;
    void* Address;
    const void* Initial;
};

void* __emutls_get_address(TEmuTls* variable)
{
    if (variable->Address == nullptr) {
        std::size_t align = variable->Align > sizeof(void*) ? variable->Align : sizeof(void*);
        char* block = static_cast<char*>(std::malloc(variable->Size + align));
        if (block == nullptr) std::abort();
        char* at = block + (align - reinterpret_cast<std::uintptr_t>(block) % align) % align;
        if (variable->Initial != nullptr)
            std::memcpy(at, variable->Initial, variable->Size);
        else
            std::memset(at, 0, variable->Size);
        variable->Address = at;
    }
    return variable->Address;
}

// The unwinder's search of the unwind tables (UnwindTables.h). crtbegin.o
// hands over the exe's tables at start-up and takes them back at exit;
// the exe has no other. The place the unwinder fills in is libgcc's
// struct dwarf_eh_bases: the code and data bases (none for this target)
// and the function's start.
struct TUnwindBases {
    void* Code;
    void* Data;
    void* Function;
};
namespace {
const unsigned char* ExeTables;
void* ExeTablesOwner;
}  // namespace

void __register_frame_info(const void* tables, void* owner)
{
    ExeTables = static_cast<const unsigned char*>(tables);
    ExeTablesOwner = owner;
}

void* __deregister_frame_info(const void* tables)
{
    // The tables stay: a destructor run after this may still throw.
    return tables == ExeTables ? ExeTablesOwner : nullptr;
}

const void* _Unwind_Find_FDE(void* pc, TUnwindBases* bases)
{
    if (ExeTables == nullptr) return nullptr;
    std::uintptr_t start = 0;
    const unsigned char* entry = FindUnwindEntry(ExeTables, reinterpret_cast<std::uintptr_t>(pc), start);
    if (entry != nullptr) {
        bases->Code = nullptr;
        bases->Data = nullptr;
        bases->Function = reinterpret_cast<void*>(start);
    }
    return entry;
}

// Link-time optimisation gives some C++ functions with clean-ups only the
// C language's personality routine, which would bring libgcc's copy (and
// would not stop at a noexcept function). The tables of both routines are
// written alike: the C++ routine reads those functions' tables right.
struct _Unwind_Exception;
struct _Unwind_Context;
int __gxx_personality_v0(int version, int actions, std::uint64_t exceptionClass,
                         _Unwind_Exception* exception, _Unwind_Context* context);
__attribute__((used)) int __gcc_personality_v0(int version, int actions, std::uint64_t exceptionClass,
                                                _Unwind_Exception* exception, _Unwind_Context* context)
{
    return __gxx_personality_v0(version, actions, exceptionClass, exception, context);
}

// The exception store: each thrown object behind the C++ library's header
// for it (96 bytes for this target; its own __cxa_allocate_exception adds
// the same), from the heap. The library's version keeps an emergency pool
// besides, for throwing while the heap is exhausted, which these programs
// do not: without memory for a few hundred bytes, they end.
const std::size_t ExceptionHeader = 96;

void* __cxa_allocate_exception(std::size_t size) noexcept
{
    char* block = static_cast<char*>(std::malloc(size + ExceptionHeader));
    if (block == nullptr) std::abort();
    std::memset(block, 0, ExceptionHeader);
    return block + ExceptionHeader;
}

void __cxa_free_exception(void* thrown) noexcept
{
    std::free(static_cast<char*>(thrown) - ExceptionHeader);
}

}

// Allocation as the library's, without the new-handler loop: the
// programs set no handler.
void* operator new(std::size_t size)
{
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

namespace __gnu_cxx {
// The default handler prints the demangled type of an escaped exception.
// None escapes the event dispatch; should one, ending at once is right.
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
