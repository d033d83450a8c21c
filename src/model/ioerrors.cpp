// The I/O error codes and their message texts, shared by every file operation.
#include "ioerrors.h"

#include <cerrno>

namespace vardeko {

QString ioErrorMessage(IoError code)
{
    const char *text = nullptr;
    switch (int(code)) {
    case 0: text = ""; break;
    case 1: text = "Invalid DOS function!"; break;
    case 2: text = "File not found!"; break;
    case 3: text = "Invalid filename or directory!"; break;
    case 4: text = "Too many files open!"; break;
    case 5: text = "Access denied!"; break;
    case 6: text = "Invalid file handle!"; break;
    case 8: text = "Not enough memory!"; break;
    case 12: text = "Invalid file access code!"; break;
    case 15: text = "Invalid drive!"; break;
    case 16: text = "Cannot remove current directory."; break;
    case 100: text = "Disk read error! File may be damaged."; break;
    case 101: text = "The disk is full!"; break;
    case 106: text = "Invalid file format!"; break;
    case 150: text = "Disk is write protected!"; break;
    case 152: text = "The drive is empty! Please insert\ra diskette and try again."; break;
    case 154: text = "CRC error in data!"; break;
    case 156: text = "Disk seek error!"; break;
    case 157: text = "Unknown media type!"; break;
    case 158: text = "Sector not found!"; break;
    case 159: text = "The printer is out of paper!"; break;
    case 160: text = "Device write fault!"; break;
    case 161: text = "Device read fault!"; break;
    case 162: text = "Hardware failure!"; break;
    case 10001:
        text = "Unable to create temporary file! Check\rdirectory settings under Preferences in\r"
               "the Options menu.";
        break;
    default:
        return QStringLiteral("Unknown Error #") + QString::number(int(code));
    }
    return QString::fromLatin1(text);
}

IoError ioErrorFromErrno(int err)
{
    switch (err) {
    case 0: return IoOk;
    case ENOENT: return IoFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EISDIR:
    case ELOOP: return IoPathNotFound;
    case EMFILE:
    case ENFILE: return IoTooManyFiles;
    case EACCES:
    case EPERM:
    case EEXIST: return IoAccessDenied;
    case ENOMEM: return IoOutOfMemory;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return IoDiskFull;
    case EROFS: return IoWriteProtected;
    case EIO: return IoReadError;
    case EBADF: return IoInvalidHandle;
    case ENOMEDIUM: return IoDriveEmpty;
    default: return IoWriteFault;
    }
}

} // namespace vardeko
