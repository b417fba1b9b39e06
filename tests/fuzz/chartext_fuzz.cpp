// The code-page text helpers. Each input gives a code page, a text and a
// size; the helpers' answers are held against a walk of the text by
// character made here: every answer lies on a character boundary, a cut
// keeps as much as fits, a search finds only whole characters, and the
// rules built on them (the parent of a path, the directory a path makes,
// the shortened caption) never leave half a character.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "Engine.h"
#include "FuzzSupport.h"
#include "Paths.h"
#include "core/CharText.h"
#include "core/Text.h"

namespace {

// Where each character of text starts, and text.size().
std::set<std::size_t> Boundaries(const std::string& text, const TCodePage& page)
{
    std::set<std::size_t> starts;
    std::size_t at = 0;
    for (; at < text.size(); at += fuzz::CharLength(text, at, page)) starts.insert(at);
    starts.insert(at);
    return starts;
}

bool IsPrefix(const std::string& part, const std::string& text)
{
    return text.compare(0, part.size(), part) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LeakProbe();
    FuzzedDataProvider in(data, size);
    const TCodePage page = fuzz::PickCodePage(in.ConsumeIntegral<std::uint8_t>());
    const std::size_t max = in.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string text = in.ConsumeRemainingBytesAsString();
    const std::set<std::size_t> starts = Boundaries(text, page);

    for (std::size_t at : starts) {
        if (at == text.size()) break;
        std::size_t next = NextChar(text, at, page);
        fuzz::Check(next == at + fuzz::CharLength(text, at, page), "NextChar steps wrongly",
                    std::to_string(at) + " -> " + std::to_string(next) + " in " + fuzz::Show(text));
        fuzz::Check(PrevChar(text, next, page) == at, "PrevChar does not undo NextChar",
                    std::to_string(next) + " in " + fuzz::Show(text));
    }

    const std::string cut = CutBytes(text, max, page);
    fuzz::Check(text.size() <= max ? cut == text : IsPrefix(cut, text) && cut.size() <= max,
                "a cut is not a start of the text within the size", fuzz::Show(cut));
    fuzz::Check(starts.count(cut.size()) != 0, "a cut ends inside a character",
                std::to_string(max) + ": " + fuzz::Show(cut) + " of " + fuzz::Show(text));
    fuzz::Check(text.size() <= max || cut.size() + 1 >= max, "a cut drops more than one byte too many",
                std::to_string(max) + ": " + fuzz::Show(cut));

    const std::size_t tail = TailStart(text, max, page);
    fuzz::Check(starts.count(tail) != 0, "a tail starts inside a character", std::to_string(tail));
    fuzz::Check(text.size() - tail <= max && (text.size() <= max || text.size() - tail + 1 >= max),
                "a tail is not the last bytes that fit", std::to_string(tail));

    static const char* const sets[] = {"\\", "|", "[]", "\\/:", ",()[]", " \t."};
    for (const char* set : sets) {
        std::size_t first = FindCharOf(text, set, 0, page);
        std::size_t expected = std::string::npos, last = std::string::npos;
        for (std::size_t at : starts)
            if (at < text.size() && fuzz::CharLength(text, at, page) == 1 && text[at] != '\0' &&
                std::string(set).find(text[at]) != std::string::npos) {
                if (expected == std::string::npos) expected = at;
                last = at;
            }
        fuzz::Check(first == expected, "FindCharOf finds the wrong character",
                    std::string(set) + " in " + fuzz::Show(text));
        fuzz::Check(FindLastCharOf(text, set, page) == last, "FindLastCharOf finds the wrong character",
                    std::string(set) + " in " + fuzz::Show(text));
        // Up to the end of the last character that is not from set.
        std::size_t end = 0;
        for (std::size_t at : starts)
            if (at < text.size() && !(fuzz::CharLength(text, at, page) == 1 && text[at] != '\0' &&
                                      std::string(set).find(text[at]) != std::string::npos))
                end = at + fuzz::CharLength(text, at, page);
        fuzz::Check(DropTrailing(text, set, page) == text.substr(0, end),
                    "DropTrailing keeps or drops the wrong end", std::string(set) + " in " + fuzz::Show(text));
    }

    // The rules on top, in the running system's code page.
    UseAnsiCodePage(page);
    const std::string parent = ParentOf(text);
    fuzz::Check(IsPrefix(parent, text) && starts.count(parent.size()) != 0, "a parent ends inside a character",
                fuzz::Show(parent));
    const std::string dir = DirectoryToMake(text);
    fuzz::Check(IsPrefix(dir, text) && starts.count(dir.size()) != 0,
                "a directory to make ends inside a character",
                fuzz::Show(dir));
    const std::string caption = ShortenCaption(text);
    fuzz::Check(caption.size() <= 40, "a shortened caption is longer than 40", fuzz::Show(caption));
    fuzz::Check(caption == text || starts.count(text.size() - (caption.size() - 3)) != 0,
                "a shortened caption starts inside a character", fuzz::Show(caption));
    fuzz::Check(starts.count(Cut(text).size()) != 0 && starts.count(TypedDestination(text).size()) != 0,
                "a cut or typed destination ends inside a character", fuzz::Show(text));
    UseAnsiCodePage(TCodePage());
    return 0;
}
