#include <windows.h>

#include <vector>

#include "platform/win32/Win32Platform.h"

std::string TWin32Locale::Lower(const std::string& text)
{
    std::vector<char> buffer(text.begin(), text.end());
    if (!buffer.empty()) CharLowerBuffA(buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::string(buffer.begin(), buffer.end());
}

bool TWin32Locale::SameText(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                          b.c_str(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

TCodePage TWin32Locale::CodePage()
{
    TCodePage page;
    page.SetNumber(GetACP());
    for (unsigned b = 0x80; b <= 0xFF; ++b)
        if (IsDBCSLeadByte(static_cast<BYTE>(b))) page.SetLead(static_cast<unsigned char>(b));
    return page;
}
