// The standard open, delete and change services of the browse and edit screens.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <thread>

#include "core/app/standard_warning.h"
#include "core/model/session.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"

namespace mervane {

// CHECKOPEN: opens a table for shared reading and writing. A missing table is created
// silently; a locked one is tried again for up to ten seconds; a table whose keys are invalid is
// repaired when the user agrees. An unusable table ends the program after its standard warning
// (Aborted is thrown). An existing table is never replaced by a new empty one: only "not found"
// leads to creating it.
template <class Def>
void check_open(Table<Def>& t, Reporter& r, Session& s) {
  const std::string store = t.store();
  Status st = t.open(OpenMode::shared());
  if (st.code == kFileLocked) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (st.code == kFileLocked && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      st = t.open(OpenMode::shared());
    }
  }
  switch (st.code) {
    case kOk:
    case kFileAlreadyOpen:
      return;
    case kFileNotFound:
      if (Status c = t.create(); c.failed()) standard_warning(r, s, 4, store, {}, c);
      if (Status o = t.open(OpenMode::shared()); o.failed())
        standard_warning(r, s, 5, store, {}, o);
      return;
    case kInvalidFile:
      standard_warning(r, s, 1, store, {}, st);
      return;
    case kInvalidKeyFile: {
      standard_warning(r, s, 2, store, {}, st);  // throws unless answered Yes
      if (Status b = t.build_keys(); b.failed()) standard_warning(r, s, 3, store, {}, b);
      t.close();
      if (Status o = t.open(OpenMode::shared()); o.failed()) {
        standard_warning(r, s, 30, store, {}, o);
        throw Aborted("Disk Error");
      }
      return;
    }
    default:
      standard_warning(r, s, 30, store, {}, st);
      throw Aborted("Disk Error");
  }
}

// RIDELETE: deletes the record last read in a transaction of its own. 0 deleted, 1 not.
template <class Def>
int ri_delete(Table<Def>& t, Reporter& r, Session& s, std::string_view table_name) {
  Transaction tx(t);
  if (tx.status().failed()) {
    ri_save_error(s, tx.status());
    standard_warning(r, s, 34, "Delete", table_name);
    return 1;
  }
  Status st = t.erase();
  if (st.is_ok()) st = tx.commit();
  if (st.failed()) {
    tx.rollback();
    ri_save_error(s, st);
    standard_warning(r, s, 17, table_name);
    return 1;
  }
  return 0;
}

// RIUPDATE: writes rec over the record last read in a transaction of its own. 0 changed, 1
// failed, 2 another opener had changed it: the stored version is then in rec. When the other
// opener deleted it, warning 35 follows and the result is 1.
template <class Def>
int ri_update(Table<Def>& t, Reporter& r, Session& s, std::string_view table_name, bool from_form) {
  Transaction tx(t);
  if (tx.status().failed()) {
    ri_save_error(s, tx.status());
    standard_warning(r, s, 34, "Update", table_name);
    return 1;
  }
  Status st = t.put();
  if (st.is_ok()) st = tx.commit();
  if (st.is_ok()) return 0;
  tx.rollback();
  ri_save_error(s, st);
  if (st.code == kRecordChanged) {
    if (from_form)
      standard_warning(r, s, 38);
    else
      standard_warning(r, s, 15, "Record Changed by Another Station");
    // Show the stored version: read the record again by its position. When the other station
    // deleted it there is none to show, and the screen must not take the buffer for one.
    if (const Status again = t.reread(); again.failed()) {
      ri_save_error(s, again);
      standard_warning(r, s, 35, table_name);
      return 1;
    }
    return 2;
  }
  standard_warning(r, s, 15, table_name);
  return 1;
}

// Opens a table for a screen through CHECKOPEN and counts the use. Each screen has its own
// opener (and record buffer); the count tells how many screens have the table open.
template <class Def>
void open_for_screen(Table<Def>& t, Reporter& r, Session& s) {
  check_open(t, r, s);
  s.add_use(t.store());
}

// The screen is done with the table: the count goes down and the table is closed.
template <class Def>
void close_for_screen(Table<Def>& t, Session& s) {
  s.release_use(t.store());
  t.close();
}

}  // namespace mervane
