// Stand-ins for what the Build window model calls outside itself: the windows it opens (the
// tests' StubWindows) and the download tool (serving pages from files, recording the addresses
// asked for).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/import/acquisition.h"
#include "core/model/session.h"
#include "core/runtime/text_file.h"
#include "tests/support/stub_windows.h"

namespace mervane::test {

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
