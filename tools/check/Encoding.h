// Text as the installer reads it: bytes in the machine's ANSI code page,
// one or two bytes a character. Editors today save UTF-8, which the
// installer does not know; these rules tell such text apart and show what
// the installer will make of it.
#pragma once
#include <string>

// The code page the checker assumes when it is told no other: Western
// Windows.
constexpr int WesternCodePage = 1252;

// The last part of a path, after its last "\" or "/", found character by
// character so that a second byte equal to "\" does not end a part.
std::string FileNamePart(const std::string& path, int codePage);

// Where text saved as UTF-8 shows first.
struct TUtf8Text {
    bool Mark = false;  // the file starts with the UTF-8 byte-order mark
    int Line = 0;       // first line holding a character beyond ASCII; 0: none
    std::string Text;   // that line, blanks around it dropped, the mark left out
    bool Found() const { return Mark || Line != 0; }
};
// Nothing found when content is not wholly valid UTF-8 (it is then ANSI
// text, as it should be) or holds only ASCII, which reads the same in both.
TUtf8Text FindUtf8(const std::string& content);

// What bytes show as when read in codePage, written as UTF-8 for the
// checker's output; empty when the code page is not known here.
std::string ShownInCodePage(const std::string& bytes, int codePage);

// The first max characters of UTF-8 text, with "..." when it was longer.
std::string Utf8Start(const std::string& text, std::size_t max);
