// The windows a window model opens from inside itself. The GUI implements them with real
// windows; the command line runs the headless ones and leaves the interactive ones untouched;
// tests stub them. Each call blocks its caller until the window closes, as a modal window does,
// except start_history_browse(), which opens the history browse on a thread of its own.
#pragma once

namespace mervane {

class Session;

// The record forms the lists call.
enum class FormKind { UpdateCalendar, EditSwapOut, EditSwapRate, EditSwapData };

class Windows {
 public:
  virtual ~Windows() = default;
  // The date picker: starts on the session's GLO:CDATE with the weekday mask GLO:CMASK and
  // leaves the picked date in GLO:CDATE (unchanged when nothing was picked); the mask is set
  // back to "1111111" when it closes.
  virtual void date_picker(Session& s) = 0;
  // Initial setup: leaves its results in GLO:PARM1, GLO:PARM2 and GLO:PARM3 (blank after
  // Cancel).
  virtual void initial_setup(Session& s) = 0;
  virtual void wingding_chart() = 0;
  // The preview browse over PVIEW.
  virtual void browse_pview(Session& s) = 0;
  // The Event History browse, on a new thread.
  virtual void start_history_browse(Session& s) = 0;
  // The effects analysis setup and report, and the NCI output; they read G2PARMS and G3PARMS
  // from the session.
  virtual void effects_setup(Session& s) = 0;
  virtual void effects_report(Session& s) = 0;
  virtual void nci_output(Session& s) = 0;
  // A record form: it takes the request its caller put into the session (GLOBALREQUEST with the
  // record's position) and leaves its response there (GLOBALRESPONSE with the position of the
  // record it stored).
  virtual void form(Session& s, FormKind kind) = 0;
  // The swap generation window (from the auxiliary item list) and the swap rate import window
  // (from the swap rate list).
  virtual void swap_output(Session& s) = 0;
  virtual void import_swap_rates(Session& s) = 0;
};

}  // namespace mervane
