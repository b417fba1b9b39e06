// The Windows error numbers the program reacts to, named once. The
// platform services hand them up as they are (0 is success); the rules
// above them compare against these names, never against bare numbers.
#pragma once

constexpr unsigned long ErrorFileNotFound = 2;       // ERROR_FILE_NOT_FOUND
constexpr unsigned long ErrorPathNotFound = 3;       // ERROR_PATH_NOT_FOUND
constexpr unsigned long ErrorAccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr unsigned long ErrorSharingViolation = 32;  // ERROR_SHARING_VIOLATION
constexpr unsigned long ErrorFileExists = 80;        // ERROR_FILE_EXISTS
constexpr unsigned long ErrorDiskFull = 112;         // ERROR_DISK_FULL
constexpr unsigned long ErrorInvalidName = 123;      // ERROR_INVALID_NAME
constexpr unsigned long ErrorDirNotEmpty = 145;      // ERROR_DIR_NOT_EMPTY
constexpr unsigned long ErrorAlreadyExists = 183;    // ERROR_ALREADY_EXISTS (MoveFile onto a name)
constexpr unsigned long ErrorFilenameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE
// A log the file service will not write through: a link, or a file with a
// second name (ERROR_REPARSE_POINT_ENCOUNTERED).
constexpr unsigned long ErrorLinkRefused = 4395;

// A file or folder that is not there: nothing is left of it to remove.
inline bool IsGoneError(unsigned long error)
{
    return error == ErrorFileNotFound || error == ErrorPathNotFound;
}
