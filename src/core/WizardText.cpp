// The wizard's texts, as the user sees them, typing slips included: they
// are the installer's own words, and stay as its users have always read them.
#include "core/WizardText.h"

const char* const ApplicationTitle = "Pellwick 2.1";

namespace WizardText {
const char* const CaptionSuffix = " Installation Commercial License";
const char* const WelcomeStart =
    "Welcome to Pellwick. This program will automatically install and configure ";
const char* const WelcomeEnd = " on your computer.";
const char* const Notices =
    "Please read the following notices carefully, they contain important commercial and "
    "technical information.";
const char* const UserDetails =
    "Please follow the instructions provided with your software to fill in your registration "
    "name and organisation fields.";
const char* const DestinationStart =
    "Please accept the default path displayed or select a different path to install ";
const char* const FinalStart = "Pellwick has installed ";
const char* const FinalEnd = " successfully, congratulations.";
const char* const CancelStart = "The installation of ";
const char* const CancelEnd = " was not performed successfuly.";
const char* const EmptyDestination =
    "Please type the directory to install into, or pick one in the directory list.";
const char* const LongDestination =
    "The directory is too long: please choose one of at most 255 characters.";
const char* const AdministratorStart = "Installing ";
const char* const AdministratorEnd =
    " needs an administrator's rights on this computer. Please have it installed by an "
    "administrator, or log on as one and start the installation again.";

const char* const InitialMemo[] = {
    "Pellwick is published by Hollowmere. It is a software",
    "installation and uninstallation package for Windows 95",
    "and Windows NT.",
    "",
    "A copy of Pellwick that you can use to distribute your",
    "own software and files can be downloaded from the",
    "Hollowmere web site at www.hollowmere.example.",
    "",
    "If you have no access to the web, send an e-mail",
    "message to pellwick@hollowmere.example for",
    "instructions on getting a copy by FTP or by",
    "post.",
};
const std::size_t InitialMemoLines = sizeof InitialMemo / sizeof InitialMemo[0];

const char* const CancelParagraphs[3] = {
    "You have selected to interrupt the installation. If this was not your intention, simply "
    "reinstall the product again.",
    "If this was your intention click on finish to terminate the installation, and run the "
    "uninstallation program supplied with your software, to ensure that your system is set to "
    "its original state.",
    "Additionaly if you reinstall the software to a different directory, it's recommended that "
    "you uninstall any previous versions to avoid cluttering you hard disk.",
};

const char* const FinalParagraphs[3] = {
    "Pellwick is published by Hollowmere. This installer is part of Pellwick, the installation "
    "and uninstallation package for Windows 95 and NT.",
    "A free copy of Pellwick can be downloaded from the Hollowmere web site, at "
    "www.hollowmere.example.",
    "Without web access, e-mail pellwick@hollowmere.example for instructions on how to obtain a "
    "copy of Pellwick by FTP or by post.",
};
const char* const CopyingStart = "Pellwick is now copying the ";
const char* const CopyingEnd = " files to the selected destination.";
const char* const InstalledEnd = " was installed successfuly. Please select next to continue.";
const char* const IncompleteEnd =
    " was not installed completely. Please select next to continue.";
const char* const FinalIncompleteStart = "Pellwick could not install all of ";
const char* const FinalIncompleteEnd = "; some files or program items are missing.";
}  // namespace WizardText

std::string NoticeText(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\0') {
            // The window would end the text at a NUL: show the rest too.
            text += ' ';
        } else if (c == '\r' || c == '\n') {
            text += "\r\n";
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            text += c;
        }
    }
    return text;
}
