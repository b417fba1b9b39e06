#include <windows.h>

#include "platform/win32/PrivateFolder.h"

namespace {

// Writes text at to, ended by a NUL; where that NUL lies. Callers have
// measured the room.
char* Put(char* to, const char* text)
{
    while (*text != '\0') *to++ = *text++;
    *to = '\0';
    return to;
}

// Random bytes from the system where it has them (RtlGenRandom, XP on),
// mixed with the clock, the process and the counter everywhere.
void RandomBytes(unsigned char* out, ULONG size)
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    // Where the system has no random source (95, 98, NT 4), the counter
    // and the clock make the name hard to guess, not impossible.
    DWORD mix[4] = {counter.LowPart, GetTickCount(), static_cast<DWORD>(counter.HighPart),
                    static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(&counter))};
    memcpy(out, mix, size < sizeof mix ? size : sizeof mix);
    HMODULE advapi = LoadLibraryA("advapi32.dll");
    typedef BOOLEAN(WINAPI * TGenRandom)(PVOID, ULONG);
    TGenRandom genRandom = advapi == nullptr ? nullptr
        : reinterpret_cast<TGenRandom>(reinterpret_cast<void*>(GetProcAddress(advapi, "SystemFunction036")));
    unsigned char strong[32];
    if (genRandom != nullptr && size <= sizeof strong && genRandom(strong, size))
        for (ULONG i = 0; i < size; ++i) out[i] ^= strong[i];
}

// A security descriptor whose list grants the running account alone full
// control, inherited by what is made inside; false where the system keeps
// no such lists (95, 98, ME: there the folder is plain).
struct TOwnerOnly {
    SECURITY_DESCRIPTOR Descriptor;
    unsigned char AclBytes[256];
    unsigned char UserBytes[128];
    SECURITY_ATTRIBUTES Attributes;

    bool Make()
    {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
        DWORD length = 0;
        BOOL got = GetTokenInformation(token, TokenUser, UserBytes, sizeof UserBytes, &length);
        CloseHandle(token);
        if (!got) return false;
        PSID user = reinterpret_cast<TOKEN_USER*>(UserBytes)->User.Sid;
        typedef BOOL(WINAPI * TAddAce)(PACL, DWORD, DWORD, DWORD, PSID);
        HMODULE advapi = GetModuleHandleA("advapi32.dll");
        TAddAce addAce = advapi == nullptr ? nullptr
            : reinterpret_cast<TAddAce>(reinterpret_cast<void*>(GetProcAddress(advapi, "AddAccessAllowedAceEx")));
        PACL acl = reinterpret_cast<PACL>(AclBytes);
        if (addAce == nullptr || !InitializeAcl(acl, sizeof AclBytes, ACL_REVISION) ||
            !addAce(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, FILE_ALL_ACCESS, user) ||
            !InitializeSecurityDescriptor(&Descriptor, SECURITY_DESCRIPTOR_REVISION) ||
            !SetSecurityDescriptorDacl(&Descriptor, TRUE, acl, FALSE))
            return false;
        // Protected: nothing inherited from the temporary folder's list.
        typedef BOOL(WINAPI * TSetControl)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL,
                                           SECURITY_DESCRIPTOR_CONTROL);
        TSetControl setControl = reinterpret_cast<TSetControl>(
            reinterpret_cast<void*>(GetProcAddress(advapi, "SetSecurityDescriptorControl")));
        if (setControl != nullptr) setControl(&Descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
        Attributes.nLength = sizeof Attributes;
        Attributes.lpSecurityDescriptor = &Descriptor;
        Attributes.bInheritHandle = FALSE;
        return true;
    }
};

}  // namespace

bool MakePrivateFolder(const char* parent, const char* prefix, char* folder, unsigned size)
{
    // Room for the letters, and for the names of what is made inside.
    unsigned length = static_cast<unsigned>(lstrlenA(parent) + lstrlenA(prefix));
    if (*parent == '\0' || length + 40 >= size) return false;
    TOwnerOnly owner;
    SECURITY_ATTRIBUTES* attributes = owner.Make() ? &owner.Attributes : nullptr;
    char* letters = Put(Put(folder, parent), prefix);
    for (int attempt = 0; attempt < 16; ++attempt) {
        unsigned char random[8];
        RandomBytes(random, sizeof random);
        for (int i = 0; i < 16; ++i) letters[i] = static_cast<char>('a' + (random[i / 2] >> (i % 2 * 4) & 15));
        letters[16] = '\0';
        if (CreateDirectoryA(folder, attributes)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

void RemovePrivateFolder(const char* folder)
{
    // The folder's name, a backslash, then each name found in it (the
    // folder was made with room for them).
    char path[2 * MAX_PATH];
    char* name = Put(Put(path, folder), "\\");
    Put(name, "*");
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const char* last = found.cFileName;
            if (last[0] == '.' && (last[1] == '\0' || (last[1] == '.' && last[2] == '\0'))) continue;
            Put(name, last);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemovePrivateFolder(path);
            } else {
                SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                for (int i = 0; i < 50 && !DeleteFileA(path); ++i) Sleep(100);
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    for (int i = 0; i < 20 && !RemoveDirectoryA(folder); ++i) Sleep(100);
}
