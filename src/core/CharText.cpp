#include "core/CharText.h"

#include <cstring>

TCodePage RunningCodePage;

TCodePage::TCodePage(unsigned number) : number_(number)
{
    unsigned char first = 0x81, last = 0xFE;
    switch (number) {
    case 932:  // Shift JIS: 0x81-0x9F and 0xE0-0xFC
        for (unsigned b = 0x81; b <= 0x9F; ++b) SetLead(static_cast<unsigned char>(b));
        first = 0xE0;
        last = 0xFC;
        break;
    case 936: case 949: case 950: break;
    default: return;
    }
    for (unsigned b = first; b <= last; ++b) SetLead(static_cast<unsigned char>(b));
}

std::size_t NextChar(const std::string& text, std::size_t at, const TCodePage& page)
{
    // No second byte is below 0x40: a lead byte before one stands alone, and
    // the separators and blanks below it are always themselves.
    return at + 1 < text.size() && page.IsLead(text[at]) &&
                   static_cast<unsigned char>(text[at + 1]) >= 0x40
               ? at + 2
               : at + 1;
}

std::size_t CharStart(const std::string& text, std::size_t at, const TCodePage& page)
{
    std::size_t start = 0;
    for (std::size_t next; (next = NextChar(text, start, page)) <= at;) start = next;
    return start;
}

std::size_t FindCharOf(const std::string& text, const char* set, std::size_t from,
                       const TCodePage& page)
{
    for (std::size_t at = from, next; at < text.size(); at = next) {
        next = NextChar(text, at, page);
        if (next == at + 1 && text[at] != '\0' && std::strchr(set, text[at]) != nullptr) return at;
    }
    return std::string::npos;
}

std::size_t FindLastCharOf(const std::string& text, const char* set, const TCodePage& page)
{
    std::size_t found = std::string::npos;
    for (std::size_t at = 0; (at = FindCharOf(text, set, at, page)) != std::string::npos; ++at)
        found = at;
    return found;
}

std::string DropTrailing(const std::string& text, const char* set, const TCodePage& page)
{
    std::size_t end = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t next = NextChar(text, at, page);
        if (next != at + 1 || text[at] == '\0' || std::strchr(set, text[at]) == nullptr) end = next;
        at = next;
    }
    return text.substr(0, end);
}

std::string CutBytes(const std::string& text, std::size_t max, const TCodePage& page)
{
    if (text.size() <= max) return text;
    return text.substr(0, CharStart(text, max, page));
}
