#include "core/output/history_load_settings.h"

#include "core/import/calendar_address.h"
#include "core/import/calendar_source.h"
#include "core/model/local_settings.h"
#include "core/output/profiles.h"
#include "core/output/settings_file.h"

namespace mervane {

HistoryLoadRequest history_load_settings(Session& s, Reporter& r) {
  SettingsRecord settings = built_in_defaults(s.clock().today(), s.folder());
  load_ini(s.folder(), settings, r, s.files());
  HistoryLoadRequest request;
  request.page.nonecon = settings.nonecon != 0;
  request.page.incut = settings.b.incut != 0;
  request.page.incuv = settings.b.incuv != 0;
  request.page.cnvfmt = settings.b.cnvfmt != 0;
  request.page.offset1 = settings.b.offset1;
  CalendarSettings calendar = load_calendar_settings(s.folder());
  stop_if_failed(r, "Open", kLocalSettingsFile, page_mt4_zone(calendar, request.page.mt4_zone));
  calendar.week = true;  // month pages are today's pages
  request.user_agent = download_user_agent(calendar);
  request.address = load_calendar_address(s.folder());
  return request;
}

}  // namespace mervane
