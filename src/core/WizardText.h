// The wizard's texts, as the user sees them.
#pragma once
#include <cstddef>
#include <string>

// The program's title, on its boxes.
extern const char* const ApplicationTitle;  // "Pellwick 2.1"

// Notice text with every line break (CR LF, lone CR, lone LF) made CR LF,
// and NUL bytes made blanks.
std::string NoticeText(const std::string& bytes);

namespace WizardText {
extern const char* const CaptionSuffix;
extern const char* const WelcomeStart;
extern const char* const WelcomeEnd;
extern const char* const Notices;
extern const char* const UserDetails;
extern const char* const DestinationStart;
extern const char* const FinalStart;
extern const char* const FinalEnd;
extern const char* const CancelStart;
extern const char* const CancelEnd;
extern const char* const EmptyDestination;
extern const char* const LongDestination;
extern const char* const AdministratorStart;
extern const char* const AdministratorEnd;
extern const char* const CopyingStart;
extern const char* const CopyingEnd;
extern const char* const InstalledEnd;
extern const char* const IncompleteEnd;
extern const char* const FinalIncompleteStart;
extern const char* const FinalIncompleteEnd;
extern const char* const InitialMemo[];
extern const std::size_t InitialMemoLines;
extern const char* const CancelParagraphs[3];
extern const char* const FinalParagraphs[3];
}  // namespace WizardText
