// The I/O error codes and their message texts, shared by every file operation.
#pragma once

#include <QString>

namespace vardeko {

// The code of a failed file operation. The numbers are those that alerts show and that
// files and scripts keep, so they never change; a code outside the list (an unknown
// failure) keeps its number too.
enum IoError : int {
    IoOk = 0,
    IoInvalidFunction = 1,
    IoFileNotFound = 2,
    IoPathNotFound = 3,
    IoTooManyFiles = 4,
    IoAccessDenied = 5,
    IoInvalidHandle = 6,
    IoOutOfMemory = 8,
    IoInvalidAccessCode = 12,
    IoInvalidDrive = 15,
    IoCannotRemoveDirectory = 16,
    IoReadError = 100,
    IoDiskFull = 101,
    IoInvalidFormat = 106,
    IoWriteProtected = 150,
    IoDriveEmpty = 152,
    IoCrcError = 154,
    IoSeekError = 156,
    IoUnknownMedia = 157,
    IoSectorNotFound = 158,
    IoOutOfPaper = 159,
    IoWriteFault = 160,
    IoReadFault = 161,
    IoHardwareFailure = 162,
    IoNoTempFile = 10001,
};

// The message for a code; line breaks inside it are single carriage returns.
QString ioErrorMessage(IoError code);
// For codes kept as numbers (a script's last file error, a converter's result).
inline QString ioErrorMessage(int code)
{
    return ioErrorMessage(IoError(code));
}

// The code for a POSIX errno value.
IoError ioErrorFromErrno(int err);

} // namespace vardeko
