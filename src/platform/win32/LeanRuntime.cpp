// Replacements for pieces of the C++ runtime, linked into the exes only.
// The library's error raisers build std::logic_error and friends, whose
// copy-on-write strings and the demangler of the verbose terminate handler
// add about a third to the exe. Ours raise the program's own error, which
// the event dispatch shows like any other.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <typeinfo>
#include <unwind.h>

#include "core/Error.h"
#include "UnwindTables.h"

namespace {
// What the library's raisers are given names its own functions
// ("basic_string::_M_create"), which tell the user nothing; one text in
// their place, and the names are left out of the exe.
[[noreturn]] void Raise() { throw EError("Internal error"); }
}  // namespace

namespace std {
void __throw_bad_exception() { Raise(); }
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_bad_cast() { Raise(); }
void __throw_bad_typeid() { Raise(); }
void __throw_logic_error(const char*) { Raise(); }
void __throw_domain_error(const char*) { Raise(); }
void __throw_invalid_argument(const char*) { Raise(); }
void __throw_length_error(const char*) { Raise(); }
void __throw_out_of_range(const char*) { Raise(); }
void __throw_out_of_range_fmt(const char*, ...) { Raise(); }
void __throw_runtime_error(const char*) { Raise(); }
void __throw_range_error(const char*) { Raise(); }
void __throw_overflow_error(const char*) { Raise(); }
void __throw_underflow_error(const char*) { Raise(); }
void __throw_bad_function_call() { Raise(); }
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

// The unwinder's search of the unwind tables (UnwindTables.h): the exe's,
// which cmake/exe-start.ld marks the start of and ends with a zero word,
// and no other. The place the unwinder fills in is libgcc's struct
// dwarf_eh_bases: the code and data bases (none for this target) and the
// function's start.
struct TUnwindBases {
    void* Code;
    void* Data;
    void* Function;
};
extern const unsigned char ExeUnwindTables[];

const void* _Unwind_Find_FDE(void* pc, TUnwindBases* bases)
{
    std::uintptr_t start = 0;
    const unsigned char* entry = FindUnwindEntry(ExeUnwindTables, reinterpret_cast<std::uintptr_t>(pc), start);
    if (entry != nullptr) {
        bases->Code = nullptr;
        bases->Data = nullptr;
        bases->Function = reinterpret_cast<void*>(start);
    }
    return entry;
}

// The personality routine, which the unwinder asks at each frame an
// exception passes what the function's catch table says (FindLanding).
// The C++ library's routine brings dynamic throw(...) lists, their
// unexpected-handler and a second reader of the tables (some 3 KB), and
// the programs have none of them. Its bookkeeping it shares with the
// library's __cxa_begin_catch: the header before each thrown object, laid
// out as the Itanium C++ ABI's __cxa_exception with a reference count
// ahead of it.
struct TCxaException {
    const std::type_info* Type;
    void (*Destructor)(void*);
    void (*UnexpectedHandler)();
    void (*TerminateHandler)();
    void* Next;
    int HandlerCount;
    int HandlerSwitchValue;
    const unsigned char* ActionRecord;
    const unsigned char* LanguageSpecificData;
    std::uintptr_t CatchTemp;
    void* AdjustedPtr;
    _Unwind_Exception Unwind;  // its alignment pads the header
};
struct TThrownHeader {
    int References;
    TCxaException Exception;
};

namespace {
// The C++ library's exceptions ("GNUCC++" and a 0); the programs make no
// exception_ptr, whose dependent exceptions end in a 1.
const _Unwind_Exception_Class CppExceptions = 0x474e5543432b2b00ull;

struct TPassing {
    const std::type_info* Type;  // null for another language's exception
    void* Object;                // where the handler finds it
};

bool Catches(const void* type, void* data)
{
    auto* passing = static_cast<TPassing*>(data);
    if (type == nullptr) return true;  // catch (...)
    if (passing->Type == nullptr) return false;
    void* object = passing->Object;
    if (passing->Type->__is_pointer_p()) object = *static_cast<void**>(object);
    if (!static_cast<const std::type_info*>(type)->__do_catch(passing->Type, &object, 1)) return false;
    passing->Object = object;
    return true;
}
}  // namespace

_Unwind_Reason_Code __gxx_personality_v0(int version, _Unwind_Action actions,
                                         _Unwind_Exception_Class exceptionClass,
                                         _Unwind_Exception* exception, _Unwind_Context* context)
{
    if (version != 1) return _URC_FATAL_PHASE1_ERROR;
    const auto* table = static_cast<const unsigned char*>(_Unwind_GetLanguageSpecificData(context));
    if (table == nullptr) return _URC_CONTINUE_UNWIND;
    int beforeCall = 0;
    std::uintptr_t ip = _Unwind_GetIPInfo(context, &beforeCall);
    if (beforeCall == 0) --ip;
    // Unwinding that is no throw (forced) runs clean-ups and catch (...) alone.
    bool ours = exceptionClass == CppExceptions && (actions & _UA_FORCE_UNWIND) == 0;
    TCxaException* header = reinterpret_cast<TCxaException*>(exception + 1) - 1;
    TPassing passing{ours ? header->Type : nullptr, exception + 1};
    TLanding landing = FindLanding(table, _Unwind_GetRegionStart(context), ip, Catches, &passing);
    switch (landing.Kind) {
    case TLandingKind::Nothing: return _URC_CONTINUE_UNWIND;
    case TLandingKind::Terminate: std::terminate();
    case TLandingKind::Cleanup:
        if ((actions & _UA_SEARCH_PHASE) != 0) return _URC_CONTINUE_UNWIND;
        break;
    case TLandingKind::Handler:
        if ((actions & _UA_SEARCH_PHASE) != 0) return _URC_HANDLER_FOUND;
        if (ours) header->AdjustedPtr = passing.Object;
        break;
    }
    _Unwind_SetGR(context, __builtin_eh_return_data_regno(0), reinterpret_cast<std::uintptr_t>(exception));
    _Unwind_SetGR(context, __builtin_eh_return_data_regno(1), static_cast<_Unwind_Word>(landing.Selector));
    _Unwind_SetIP(context, landing.Pad);
    return _URC_INSTALL_CONTEXT;
}

// Link-time optimisation gives some C++ functions with clean-ups only the
// C language's personality routine, which would bring libgcc's copy (and
// would not stop at a noexcept function). The tables of both routines are
// written alike: the C++ routine reads those functions' tables right.
__attribute__((used)) _Unwind_Reason_Code __gcc_personality_v0(int version, _Unwind_Action actions,
                                                                _Unwind_Exception_Class exceptionClass,
                                                                _Unwind_Exception* exception,
                                                                _Unwind_Context* context)
{
    return __gxx_personality_v0(version, actions, exceptionClass, exception, context);
}

// The exception store: each thrown object behind the C++ library's header
// for it (96 bytes for this target; its own __cxa_allocate_exception adds
// the same), from the heap. The library's version keeps an emergency pool
// besides, for throwing while the heap is exhausted, which these programs
// do not: without memory for a few hundred bytes, they end.
const std::size_t ExceptionHeader = 96;
static_assert(sizeof(TThrownHeader) == ExceptionHeader, "the header is laid out as the library's");

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
