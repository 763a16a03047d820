// Saved calendar files of any kind (the old weekly page, the weekly feed, today's week and month
// pages, told apart by their content) read into the Event History, then the backup: what
// `mervane-cli import` and the "Load calendar history" window's "Import saved pages..." do.
//
// An old weekly page does not name its year: the k-th file given is read as the week starting
// `first` + 7k (the Build window's start date when `first` is zero), as it always was. The feed
// and today's pages name their own days.
//
// Failures: the readers' stop messages ("Open(", "Read(" + the file's name + ") - ..."); after
// Ignore the next file is read. Abort throws Aborted: the file being read rolls back, those read
// before stay.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

enum class FileOrder {
  AsGiven,  // the order of the list
  ByDate,   // by the first day each file covers (an old page: the week it is read as)
};

struct SavedPagesResult {
  bool opened = false;  // the Event History could be opened (false: nothing was read)
  int files = 0;        // files read
  int past_last_date = 0;  // the first file (from 1) whose week would fall past 31 Dec 2099:
                           // then nothing was read
};

SavedPagesResult import_saved_pages(Session& s, Reporter& r, Progress& p,
                                    const std::vector<std::filesystem::path>& files,
                                    std::int32_t first, FileOrder order);

}  // namespace mervane
