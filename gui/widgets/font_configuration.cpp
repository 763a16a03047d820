#include "gui/widgets/font_configuration.h"

#include <future>
#include <mutex>

#ifdef MERVANE_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace mervane::gui {
namespace {

std::mutex g_mutex;
std::shared_future<void> g_read;

}  // namespace

void start_reading_font_configuration() {
#ifdef MERVANE_HAVE_FONTCONFIG
  const std::lock_guard lock(g_mutex);
  if (g_read.valid()) return;
  // fontconfig keeps what it read as its current configuration, which Qt then takes.
  g_read = std::async(std::launch::async, [] { FcInit(); }).share();
#endif
}

void wait_for_font_configuration() {
  std::shared_future<void> read;
  {
    const std::lock_guard lock(g_mutex);
    read = g_read;
  }
  if (read.valid()) read.wait();
}

}  // namespace mervane::gui
