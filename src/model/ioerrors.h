// The I/O error codes and their message texts, shared by every file operation.
#pragma once

#include <QString>

namespace vardeko {

enum IoError {
    IoOk = 0,
    IoFileNotFound = 2,
    IoPathNotFound = 3,
    IoTooManyFiles = 4,
    IoAccessDenied = 5,
    IoOutOfMemory = 8,
    IoReadError = 100,
    IoDiskFull = 101,
    IoInvalidFormat = 106,
    IoWriteProtected = 150,
    IoWriteFault = 160,
    IoReadFault = 161,
    IoNoTempFile = 10001,
};

// The message for a code; line breaks inside it are single carriage returns.
QString ioErrorMessage(int code);

// The code for a POSIX errno value.
int ioErrorFromErrno(int err);

} // namespace vardeko
