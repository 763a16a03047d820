#include "core/runtime/status.h"

#include <cerrno>
#include <cstring>

namespace mervane {

std::string_view error_text(int code) {
  switch (code) {
    case kOk:
      return "No Error";
    case kFileNotFound:
      return "File Not Found";
    case kTooManyOpenFiles:
      return "Too Many Open Files";
    case kAccessDenied:
      return "Access Denied";
    case kQueueEntryNotFound:
      return "Entry Not Found";
    case kFileLocked:
      return "File Is Locked";
    case kRecordNotAvailable:
      return "Record Not Available";
    case kRecordNotFound:
      return "Record Not Found";
    case kBadFileName:
      return "Invalid Filename";
    case kFileNotOpen:
      return "File Not Open";
    case kDuplicateKey:
      return "Creates Duplicate Key";
    case kInvalidKeyFile:
      return "Invalid Key File";
    case kInvalidFile:
      return "Invalid Data File";
    case kFileAlreadyOpen:
      return "File Already Open";
    case kTransactionActive:
      return "Transaction Already Active";
    case kNoTransaction:
      return "No Transaction Active";
    case kRecordChanged:
      return "Record Changed By Another Station";
    case kFileSystemError:
      return "File System Error";
    case kFileTooShort:
      return "File Too Short";
    case kBadValue:
      return "Invalid Value";
    default:
      return "Unknown Error";
  }
}

Status Status::file_error(int lower_code, std::string lower_text) {
  Status s(kFileSystemError);
  s.file_code = lower_code;
  s.file_text = std::move(lower_text);
  return s;
}

Status Status::from_errno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR: {
      Status s(kFileNotFound);
      s.file_code = err;
      s.file_text = std::strerror(err);
      return s;
    }
    case EACCES:
    case EPERM:
    case EROFS: {
      Status s(kAccessDenied);
      s.file_code = err;
      s.file_text = std::strerror(err);
      return s;
    }
    case EMFILE:
    case ENFILE:
      return Status(kTooManyOpenFiles);
    default:
      return file_error(err, std::strerror(err));
  }
}

std::string Status::message() const {
  if (code == kFileSystemError && !file_text.empty())
    return file_text + " (" + std::to_string(file_code) + ")";
  return text.empty() ? std::string(error_text(code)) : text;
}

}  // namespace mervane
