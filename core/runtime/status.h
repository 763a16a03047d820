// Failures as values.
//
// Every storage and file operation returns a Status: code 0 is success, any other code is one of
// the numbered errors below with its text. Where the file system or SQLite itself failed, the
// code is 90 and file_code / file_text carry the lower layer's own code and text, so a message can
// name the real cause.
#pragma once

#include <string>
#include <string_view>

namespace mervane {

enum ErrorCode : int {
  kOk = 0,
  kFileNotFound = 2,
  kTooManyOpenFiles = 4,
  kAccessDenied = 5,
  kFileLocked = 32,
  kRecordNotAvailable = 33,
  kRecordNotFound = 35,
  kBadFileName = 36,
  kFileNotOpen = 37,
  kDuplicateKey = 40,
  kInvalidKeyFile = 46,
  kInvalidFile = 47,
  kFileAlreadyOpen = 52,
  kTransactionActive = 56,
  kNoTransaction = 57,
  kQueueEntryNotFound = 30,
  kRecordChanged = 89,
  kFileSystemError = 90,
  kFileTooShort = 91,
  kBadValue = 92,
};

// The standard text of an error code ("File Not Found" for 2, ...).
std::string_view error_text(int code);

// A Status must be looked at: a failure that nobody reads is a failure reported as success.
// Where a result is dropped on purpose, the call is cast to (void) with the reason beside it.
struct [[nodiscard]] Status {
  int code = kOk;
  std::string text;       // the error text; the standard one when not given
  int file_code = 0;      // the lower layer's own code (errno, SQLite result code) for code 90
  std::string file_text;  // and its text

  Status() = default;
  explicit Status(int c) : code(c), text(error_text(c)) {}
  Status(int c, std::string t) : code(c), text(std::move(t)) {}

  static Status ok() { return {}; }
  static Status file_error(int lower_code, std::string lower_text);
  // From an errno value of a failed file operation: ENOENT gives 2, EACCES 5, others 90.
  static Status from_errno(int err);

  bool is_ok() const { return code == kOk; }
  bool failed() const { return code != kOk; }

  // The text a stop message shows after ") - ": the lower layer's own text for code 90.
  std::string message() const;
};

}  // namespace mervane
