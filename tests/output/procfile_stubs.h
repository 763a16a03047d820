// Stand-ins for what the Build window model calls outside itself: the windows it opens (every
// call recorded, the Initial setup and the date picker answering from a script) and the
// download tool (serving pages from files, recording the addresses asked for).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/app/windows.h"
#include "core/import/acquisition.h"
#include "core/model/session.h"
#include "core/runtime/text_file.h"

namespace mervane::test {

class StubWindows final : public Windows {
 public:
  std::vector<std::string> calls;
  // The Initial setup's answers; a blank folder is Cancel.
  std::int16_t parm1 = 0, parm2 = 0;
  std::string parm3;
  // The date the picker returns; 0 keeps the date it was given.
  std::int32_t picked = 0;

  void date_picker(Session& s) override {
    calls.push_back("date_picker");
    if (picked != 0) s.with([&](Globals& g) { g.cdate = picked; });
  }
  void initial_setup(Session& s) override {
    calls.push_back("initial_setup");
    s.with([&](Globals& g) {
      g.parm1 = parm1;
      g.parm2 = parm2;
      g.parm3 = parm3;
    });
  }
  void wingding_chart() override { calls.push_back("wingding_chart"); }
  void browse_pview(Session&) override { calls.push_back("browse_pview"); }
  void start_history_browse(Session&) override { calls.push_back("start_history_browse"); }
  void effects_setup(Session&) override { calls.push_back("effects_setup"); }
  void effects_report(Session& s) override {
    calls.push_back("effects_report");
    g2_seen = s.g2();
  }
  void nci_output(Session& s) override {
    calls.push_back("nci_output");
    g2_seen = s.g2();
    outname_seen = s.globals().outname.str();
  }
  void form(Session&, FormKind) override { calls.push_back("form"); }
  void swap_output(Session&) override { calls.push_back("swap_output"); }
  void import_swap_rates(Session&) override { calls.push_back("import_swap_rates"); }
  BuildSettings g2_seen;
  std::string outname_seen;
};

// Serves the same page for every address (or nothing when page is empty: a failed download).
class StubDownloader final : public Downloader {
 public:
  std::string page;
  std::vector<std::string> urls;
  Status fetch(const std::string& url, const std::filesystem::path& target) override {
    urls.push_back(url);
    if (page.empty()) return Status(kFileNotFound);
    return write_file_atomic(target, page);
  }
};

}  // namespace mervane::test
