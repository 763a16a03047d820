#include "core/app/standard_warning.h"

#include <cctype>
#include <string>

#include "core/util/text.h"

namespace mervane {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// "message (code)"; for a file system error the lower layer's own message and code.
std::string error_text_of(const Status& e) {
  if (e.code == kFileSystemError && !e.file_text.empty())
    return std::string(clip(e.file_text)) + " (" + std::to_string(e.file_code) + ")";
  const std::string msg = e.text.empty() ? std::string(error_text(e.code)) : e.text;
  return std::string(clip(msg)) + " (" + std::to_string(e.code) + ")";
}

}  // namespace

void ri_save_error(Session& s, const Status& st) {
  s.set_saved_error({st.code, st.text, st.file_code, st.file_text});
}

Warning make_standard_warning(int id, std::string_view text1, std::string_view text2,
                              const Status& err) {
  const std::string e = error_text_of(err);
  const std::string t1(clip(text1));
  const std::string t2(clip(text2));
  Warning w;
  w.id = id;
  w.icon = Icon::Information;
  w.buttons = kOkButton;
  w.default_button = kOkButton;
  switch (id) {
    case 1:
      w.text = "Error: (" + e + ") accessing " + t1 + ".  Press OK to end this application.";
      w.caption = "Invalid File";
      break;
    case 2:
      w.text = t1 + " key file is invalid.  Do you want to rebuild the key?";
      w.caption = "Invalid Key";
      w.icon = Icon::Exclamation;
      w.buttons = kYesButton + kNoButton;
      w.default_button = kYesButton;
      break;
    case 3:
      w.text =
          "Error: (" + e + ") repairing key for " + t1 + ".  Press OK to end this application.";
      w.caption = "Key Rebuild Error";
      break;
    case 4:
      w.text = "Error: (" + e + ") creating " + t1 + ".  Press OK to end this application.";
      w.caption = "File Creation Error";
      break;
    case 5:
      w.text =
          "Error: (" + e + ") opening created file:" + t1 + ".  Press OK to end this application.";
      w.caption = "File Creation Error";
      break;
    case 14:
      w.text = "An error was experienced during the update of record.  Error: " + e + ".";
      w.caption = "Record Insert Error";
      break;
    case 15:
      w.text = err.code == kOk || err.code == kRecordChanged
                   ? "This record was changed by another station."
                   : "An error (" + e +
                         ") was experienced when attempting to update a record from the file.  "
                         "Probable Cause: " +
                         t1 + ".";
      w.caption = "Update Operation Error";
      break;
    case 16:
      w.text = "An error was experienced changing this record.  Do you want to try to save again?";
      w.caption = "Record Update Error";
      w.buttons = kYesButton + kNoButton + kCancelButton;
      w.default_button = kCancelButton;
      break;
    case 17:
      w.text = "An error (" + e +
               ") was experienced when attempting to delete a record from the file " + t1 + ".";
      w.caption = "Delete Operation Error";
      break;
    case 18:
      w.text = "An error was experienced deleting this record.  Do you want to try to save again?";
      w.caption = "Record Update Error";
      w.buttons = kYesButton + kNoButton + kCancelButton;
      w.default_button = kCancelButton;
      break;
    case 24:
      w.text = "Adding this record creates a duplicate entry for the key:" + t1;
      w.caption = "Duplicate Key Error";
      break;
    case 30:
      w.text = "File (" + t1 + ") could not be opened.  Error: " + e + ".";
      w.caption = "File Access Error";
      break;
    case 32:
      w.text =
          "You've selected to delete the highlighted record.  Press OK to confirm deletion of "
          "this record.";
      w.caption = "Confirm Delete";
      w.icon = Icon::Exclamation;
      w.buttons = kOkButton + kCancelButton;
      w.default_button = kCancelButton;
      break;
    case 34:
      w.text = "Error: (" + e + ") attempting to frame the " + lower(t1) + " transaction on " + t2 +
               ".  " + t1 + " transaction cancelled.";
      w.caption = "Transaction Framing Error";
      break;
    case 35:
      w.text = "Error: (" + e + ") attempting to access a record from the " + t1 +
               " file.  Returning to previous window.";
      w.caption = "Record Retrieval Error";
      break;
    case 36:
      w.text = "Error: (" + e +
               ") attempting to open the current VIEW. Filter and Range Limits "
               "ignored.";
      w.caption = "View Open Error";
      break;
    case 38:
      w.text =
          "This record was changed by another station. Those changes will now be displayed. "
          "Use the Ditto Button or Ctrl+' to recall your changes.";
      w.caption = "Record Was Not Updated";
      break;
    default:
      w.text = "Error: (" + e + ") " + t1 + " " + t2;
      w.caption = "Error";
      break;
  }
  return w;
}

int standard_warning(Reporter& r, Session& s, int id, std::string_view text1,
                     std::string_view text2, const Status& current) {
  const SavedError saved = s.saved_error();
  Status err = current;
  if (saved.code != 0) {
    err.code = saved.code;
    err.text = saved.text;
    err.file_code = saved.file_code;
    err.file_text = saved.file_text;
  }
  s.set_saved_error({});
  const int pressed = r.warning(make_standard_warning(id, text1, text2, err));
  switch (id) {
    case 1:
      throw Aborted("Invalid File!");
    case 2:
      if (pressed != kYesButton) throw Aborted("Invalid Key!");
      return pressed;
    case 3:
      throw Aborted("Error Rebuilding Key!");
    case 4:
    case 5:
      throw Aborted("File Creation Error!");
    case 34:
    case 35:
    case 36:
      return 0;
    default:
      return pressed;
  }
}

}  // namespace mervane
