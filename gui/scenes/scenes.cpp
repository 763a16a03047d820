#include "gui/scenes/scenes.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>

#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/effects_setup.h"
#include "core/analysis/nci_output.h"
#include "core/app/standard_warning.h"
#include "core/auxdata/delete_swap_out.h"
#include "core/auxdata/import_swap_rates.h"
#include "core/auxdata/swap_browses.h"
#include "core/auxdata/swap_output.h"
#include "core/history/browses.h"
#include "core/history/delete_history.h"
#include "core/history/forms.h"
#include "core/import/calendar_source.h"
#include "core/live/alerts_window.h"
#include "core/live/tray.h"
#include "core/model/local_settings.h"
#include "core/output/history_load_window.h"
#include "core/output/procfile.h"
#include "core/runtime/clock.h"
#include "core/setup/calendar.h"
#include "core/setup/initial_setup.h"
#include "core/util/dates.h"
#include "gui/frame/app_frame.h"
#include "gui/frame/procedures.h"
#include "gui/scenes/sample_data.h"
#include "gui/widgets/message_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/window_view.h"

namespace mervane::gui {
namespace {

using Took = std::function<bool(const Picture&)>;

// What the windows opened for a picture need around them: nothing is asked, nothing opens,
// nothing is downloaded.
struct Quiet final : Reporter, Windows, Downloader {
  Status fetch(const std::string&, const std::filesystem::path&) override {
    return Status(90, "no downloads here");
  }
  Answer stop(std::string_view) override { return Answer::Ignore; }
  int warning(const Warning& w) override { return w.default_button; }
  Response run(WindowModel&) override { return Response::Cancelled; }
  void start(Procedure) override {}
};

// What every scene shares: today 11 March 2009, a folder of its own for the tables (not beside
// the pictures), and the stand-ins for what would ask the user.
struct Bed {
  FixedClock clock{*date_serial(2009, 3, 11), 1};
  QTemporaryDir work;
  Session session{work.path().toStdString(), clock};
  Quiet quiet;
  NoProgress progress;
};

using Scene = bool (*)(Bed&, const Took&);

bool fail(const char* why) {
  std::fprintf(stderr, "mervane-screenshots: %s\n", why);
  return false;
}

// One picture of one window.
bool take(const Took& took, const QString& name, QWidget* w, bool in_frame) {
  w->show();
  QApplication::processEvents();
  return took(Picture{name, w, {}, {{w, in_frame}}});
}
bool take(const Took& took, const char* name, QWidget* w, bool in_frame) {
  return take(took, QString::fromLatin1(name), w, in_frame);
}

// A window model's view with the model's state, as the host shows it.
std::unique_ptr<WindowView> view_shown(const WindowModel& m) {
  const ViewMaker make = procedure_view(m);
  std::unique_ptr<WindowView> v(make ? make(m.controls(), EventSink{})
                                     : new WindowView(m.controls(), EventSink{}));
  v->apply(m.state());
  v->adjustSize();
  return v;
}
std::unique_ptr<WindowView> view_of(WindowModel& m) {
  m.open();
  return view_shown(m);
}

// A list's or form's view with the model's state, shown; the window's own events (its size, the
// rows its list holds) go to the model at once, and the view shows the answer.
struct Answered {
  std::unique_ptr<WindowView> view;
  std::shared_ptr<std::vector<ViewEvent>> events = std::make_shared<std::vector<ViewEvent>>();
};

void answer(WindowModel& m, Answered& s) {
  for (int round = 0; round < 5 && !s.events->empty(); ++round) {
    const std::vector<ViewEvent> events = std::exchange(*s.events, {});
    for (const ViewEvent& e : events)
      if (e.kind == ViewEvent::Kind::Other) m.other_event(e.other);
    s.view->apply(m.state());
    QApplication::processEvents();
  }
}

Answered view_answered(WindowModel& m) {
  m.open();
  Answered s;
  s.view = std::make_unique<WindowView>(m.controls(),
                                        [events = s.events](ViewEvent e) { events->push_back(e); });
  s.view->apply(m.state());
  s.view->adjustSize();
  s.view->show();
  QApplication::processEvents();
  answer(m, s);
  return s;
}

// Waits, running the GUI's events, until the condition holds or 10 seconds have passed.
bool wait_until(const std::function<bool()>& cond) {
  QElapsedTimer waited;
  waited.start();
  while (!cond() && waited.elapsed() < 10000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  return cond();
}

WindowView* view_titled(Host& host, std::string_view title) {
  for (WindowView* v : host.views())
    if (v->windowTitle() == qtext(title)) return v;
  return nullptr;
}

// The frame with its windows as one picture: the windows that float over the frame (a date
// picker) are drawn where they stand, with a border and their title, as a window manager
// frames them.
QImage frame_with_floating(QWidget& frame, const std::vector<QWidget*>& floating) {
  QImage img = frame.grab().toImage();
  QPainter p(&img);
  for (QWidget* w : floating) {
    const QPoint at = w->mapToGlobal(QPoint(0, 0)) - frame.mapToGlobal(QPoint(0, 0));
    const QFontMetrics fm(w->font());
    const int bar = fm.height() + 8;
    const QRect client(at, w->size());
    const QRect outer = client.adjusted(-3, -bar, 3, 3);
    p.fillRect(outer.translated(4, 4), QColor(0, 0, 0, 60));
    p.fillRect(outer, w->palette().color(QPalette::Highlight));
    p.setPen(w->palette().color(QPalette::HighlightedText));
    p.drawText(QRect(outer.left() + 8, outer.top(), outer.width() - 16, bar),
               Qt::AlignVCenter | Qt::AlignLeft, w->windowTitle().trimmed());
    p.drawImage(client.topLeft(), w->grab().toImage());
  }
  return img;
}

// ---- the scenes ----

// The frame, and with a window in it started from the menu as a user starts it.
bool frame_alone(Bed& bed, const Took& took) {
  AppFrame frame(bed.session);
  frame.resize(1000, 700);
  frame.show();
  QApplication::processEvents();
  bool ok = took(Picture{QStringLiteral("frame"), &frame, {}, {}});
  frame.action(MainControl::FILEDELETEHISTORY)->trigger();
  if (!wait_until([&] {
        return !frame.host().views().empty() && frame.host().views().front()->isEnabled();
      }))
    return fail("the history maintenance window did not open");
  ok &= took(Picture{QStringLiteral("frame-with-window"), &frame, {}, {}});
  return ok;
}

// The frame as it starts, with the Build window in it, and the date picker of the Build
// window's start date open over it.
bool frame_build(Bed& bed, const Took& took) {
  QTemporaryDir folder;
  if (!seed_history(folder.path().toStdString()))
    return fail("no event could be stored in the history");
  Session session(folder.path().toStdString(), bed.clock);
  AppFrame frame(session);
  frame.open();
  WindowView* build = nullptr;
  wait_until([&] { return (build = view_titled(frame.host(), kBuildWindowTitle)); });
  if (!build) return fail("the Build window did not open");
  wait_until([&] { return build->isEnabled() && !build->last_state().title.empty(); });
  wait_until([&] { return frame.isVisible(); });
  bool ok = took(Picture{QStringLiteral("frame-build"), &frame, {}, {{build, true}}});
  qobject_cast<QAbstractButton*>(build->widget_of(number(ProcFileControl::BUTTON7)))->click();
  WindowView* picker = nullptr;
  wait_until([&] {
    return (picker = view_titled(frame.host(), Calendar::kTitle)) && picker->isEnabled() &&
           !build->isEnabled();
  });
  if (!picker) return fail("the date picker did not open");
  QApplication::processEvents();
  ok &= took(Picture{QStringLiteral("frame-build-picker"),
                     &frame,
                     frame_with_floating(frame, {picker}),
                     {{picker, false}}});
  return ok;
}

// The Build window alone, with the export on (the separator, date format and file of " Char")
// and off (its controls disabled); with the weekly feed as the source and both time zones set
// (the notes beside LOADWEEKS and OFFSET1).
bool build_window(Bed& bed, const Took& took) {
  bool ok = true;
  for (const auto& [xout, name] :
       {std::pair{"4", "build-window"}, std::pair{"1", "build-window-no-export"}}) {
    ProcFile build(WindowServices{bed.session, bed.quiet, bed.progress, bed.quiet, bed.quiet});
    build.open();
    build.type(number(ProcFileControl::XOUT), xout);
    auto view = view_shown(build);
    ok &= take(took, name, view.get(), true);
  }
  QTemporaryDir folder;
  const std::filesystem::path f = folder.path().toStdString();
  for (const auto& [name, value] :
       {std::pair{kCalendarSourceSetting, "feed"}, std::pair{kCalendarZoneSetting, "UTC"},
        std::pair{kMt4ZoneSetting, "America/New_York+7"}})
    ok &= !save_calendar_setting(f, name, value).failed();
  Session feed_session(f, bed.clock);
  ProcFile build(WindowServices{feed_session, bed.quiet, bed.progress, bed.quiet, bed.quiet});
  auto view = view_of(build);
  ok &= take(took, "build-window-feed", view.get(), true);

  // With today's week pages as the source, after a page that showed Berlin's time, and MT4ZONE
  // set: the zone note names the page's zone.
  QTemporaryDir week_folder;
  const std::filesystem::path w = week_folder.path().toStdString();
  for (const auto& [name, value] : {std::pair{kCalendarSourceSetting, "week"},
                                    std::pair{kMt4ZoneSetting, "America/New_York+7"}})
    ok &= !save_calendar_setting(w, name, value).failed();
  ok &= !save_local_setting(w, kPageZoneSetting, "Europe/Berlin").failed();
  Session week_session(w, bed.clock);
  ProcFile week(WindowServices{week_session, bed.quiet, bed.progress, bed.quiet, bed.quiet});
  auto week_view = view_of(week);
  ok &= take(took, "build-window-week-page", week_view.get(), true);
  return ok;
}

// The date picker on 15 March 2009 (today 11 March: both frames show), and with only Sundays
// allowed; the symbol chart.
bool small_windows(Bed& bed, const Took& took) {
  bool ok = true;
  for (const auto& [mask, name] :
       {std::pair{"1111111", "date-picker"}, std::pair{"0000001", "date-picker-sundays"}}) {
    bed.session.with([mask = mask](Globals& g) {
      g.cdate = *date_serial(2009, 3, 15);
      g.cmask = mask;
    });
    Calendar picker(bed.session);
    auto view = view_of(picker);
    ok &= take(took, name, view.get(), false);
  }
  WingdingChart chart;
  auto view = view_of(chart);
  ok &= take(took, "wingdings-chart", view.get(), false);
  return ok;
}

bool setup_and_bulk_windows(Bed& bed, const Took& took) {
  Session& s = bed.session;
  const struct {
    const char* name;
    bool in_frame;
    std::function<std::unique_ptr<WindowModel>()> make;
  } windows[] = {
      {"initial-setup", false, [&] { return std::make_unique<InitialSetup>(s, bed.quiet); }},
      {"effects-setup", false, [&] { return std::make_unique<EffectsSetup>(s, bed.quiet); }},
      {"delete-history", true,
       [&] { return std::make_unique<DeleteHistory>(s, bed.quiet, bed.quiet, bed.progress); }},
      {"delete-aux-data", true,
       [&] { return std::make_unique<DeleteSwapOut>(s, bed.quiet, bed.quiet, bed.progress); }},
      {"swap-output", false,
       [&] {
         return std::make_unique<SwapOutput>(s, bed.quiet, bed.quiet, bed.progress);
       }},
      {"import-swap-rates", false,
       [&] { return std::make_unique<ImportSwapRates>(s, bed.quiet, bed.progress); }},
      {"load-history", true,
       [&] {
         return std::make_unique<LoadHistoryWindow>(
             WindowServices{s, bed.quiet, bed.progress, bed.quiet, bed.quiet});
       }},
      {"nci-output", false,
       [&] { return std::make_unique<NciOutput>(s, bed.quiet, bed.progress); }},
      {"effect-analysis-report", false,
       [&] { return std::make_unique<EffectAnalysisReport>(s, bed.quiet, bed.progress); }},
      {"alerts", true, [&] { return std::make_unique<AlertsWindow>(s, bed.quiet); }},
  };
  bool ok = true;
  for (const auto& w : windows) {
    auto model = w.make();
    auto view = view_of(*model);
    ok &= take(took, w.name, view.get(), w.in_frame);
  }
  return ok;
}

// The history maintenance window with Rebuild and with Export chosen (backups in the folder),
// and the message of a swap rate import that left lines out.
bool bulk_window_states(Bed& bed, const Took& took) {
  bool ok = true;
  for (const char* name : {"@BACKUP@.CSV", "@MAR09@.CSV", "@week10@.CSV"})
    std::ofstream(bed.session.folder() / name) << "";
  for (const auto& [option, name] :
       {std::pair{"2", "delete-history-rebuild"}, std::pair{"3", "delete-history-export"}}) {
    DeleteHistory m(bed.session, bed.quiet, bed.quiet, bed.progress);
    m.open();
    m.type(number(DeleteHistoryControl::OPTION1), option);
    if (std::string_view(option) == "2") m.type(number(DeleteHistoryControl::ADJUSTHRS), "-2");
    auto view = view_shown(m);
    ok &= take(took, name, view.get(), true);
  }
  std::ofstream(bed.session.folder() / "swaprate.csv")
      << "EURUSD,1.25,-3.5\r\nGBPUSD;0.8;-1.1\r\nUSDJPY,0.9,x\r\n,1,2\r\nAUDUSD,1.5\r\n";
  ImportSwapRates import(bed.session, bed.quiet, bed.progress);
  import.open();
  import.type(number(ImportSwapRatesControl::ADDNEW), "1");
  import.accepted(number(ImportSwapRatesControl::OK));
  const std::optional<Warning> w = import.skipped_lines();
  if (!w) return fail("the swap rate import skipped no line");
  std::unique_ptr<MessageBox> box(MessageBox::warning_box(*w, nullptr, {}));
  ok &= take(took, "import-swap-rates-skipped", box.get(), false);
  return ok;
}

// The lists and forms over a few records of every table.
bool lists_and_forms(Bed& bed, const Took& took) {
  Session& s = bed.session;
  const SampleData data = fill_sample_tables(bed.work.path().toStdString());
  const struct {
    const char* name;
    bool in_frame;
    std::function<std::unique_ptr<WindowModel>()> make;
  } lists[] = {
      {"browse-history", true,
       [&] { return std::make_unique<BrowseHistoryByName>(s, bed.quiet, bed.quiet); }},
      {"browse-swapout", true,
       [&] { return std::make_unique<BrowseSwapOut>(s, bed.quiet, bed.quiet, bed.progress); }},
      {"browse-swaprate", true,
       [&] { return std::make_unique<BrowseSwapRate>(s, bed.quiet, bed.quiet, bed.progress); }},
      {"browse-swapdata", false,
       [&] { return std::make_unique<BrowseSwapData>(s, bed.quiet, bed.quiet); }},
      {"browse-pview", false,
       [&] { return std::make_unique<BrowsePview>(s, bed.quiet, bed.quiet); }},
  };
  bool ok = true;
  for (const auto& l : lists) {
    auto model = l.make();
    auto view = view_answered(*model);
    ok &= take(took, l.name, view.view.get(), l.in_frame);
  }
  const struct {
    const char* name;
    FormKind kind;
    std::int64_t changed;
  } forms[] = {
      {"form-calendar", FormKind::UpdateCalendar, data.event},
      {"form-swapout", FormKind::EditSwapOut, data.item},
      {"form-swaprate", FormKind::EditSwapRate, data.rate},
      {"form-swapdata", FormKind::EditSwapData, data.definition},
  };
  for (const auto& f : forms) {
    for (const bool change : {false, true}) {
      s.set_request(change ? Request::Change : Request::Insert, change ? f.changed : 0);
      auto model = make_form(f.kind, s, bed.quiet, bed.quiet);
      auto view = view_answered(*model);
      const QString name = QString::fromLatin1(f.name) +
                           (change ? QStringLiteral("-change") : QStringLiteral("-insert"));
      ok &= take(took, name, view.view.get(), false);
      if (!change) continue;
      // Made larger by the user: the controls spread.
      view.view->resize(view.view->size() * 1.4);
      QApplication::processEvents();
      answer(*model, view);
      ok &= took(Picture{name + QStringLiteral("-larger"), view.view.get(), {}, {}});
    }
  }
  return ok;
}

// Two history lists side by side, started from the menu as a user starts them.
bool two_lists(Bed& bed, const Took& took) {
  fill_sample_tables(bed.work.path().toStdString());
  AppFrame frame(bed.session);
  frame.resize(1400, 760);
  frame.show();
  frame.action(MainControl::FILEBROWSEHISTORY)->trigger();
  frame.action(MainControl::FILEBROWSEHISTORY)->trigger();
  if (!wait_until([&] { return frame.host().views().size() >= 2; }))
    return fail("the two history lists did not open");
  frame.area()->tileSubWindows();
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 500) QApplication::processEvents(QEventLoop::AllEvents, 50);
  return took(Picture{QStringLiteral("frame-two-history-browses"), &frame, {}, {}});
}

// The stop box, every standard warning, and the question about the system tray.
bool messages(Bed&, const Took& took) {
  std::unique_ptr<MessageBox> stop(
      MessageBox::stop_box(qtext("Create(News.CSV) - Access Denied (5)"), nullptr, {}));
  bool ok = take(took, "stop-box", stop.get(), false);
  for (int id : {1, 2, 3, 4, 5, 14, 15, 16, 17, 18, 24, 30, 32, 34, 35, 36, 38}) {
    const Status err(5, "Access Denied");
    std::unique_ptr<MessageBox> box(
        MessageBox::warning_box(make_standard_warning(id, id == 34 ? "Delete" : "Calendar",
                                                      id == 34 ? "Calendar" : "", err),
                                nullptr, {}));
    ok &=
        take(took, QStringLiteral("warning-%1").arg(id, 2, 10, QLatin1Char('0')), box.get(), false);
  }
  // The question of the first close while the week is kept current.
  std::unique_ptr<MessageBox> tray(MessageBox::warning_box(tray_question(), nullptr, {}));
  ok &= take(took, "close-to-tray", tray.get(), false);
  return ok;
}

constexpr Scene kScenes[] = {
    frame_alone,        frame_build,  small_windows,   setup_and_bulk_windows,
    bulk_window_states, build_window, lists_and_forms, two_lists,
    messages,
};

}  // namespace

bool take_pictures(const std::function<bool(const Picture&)>& took) {
  bool ok = true;
  for (Scene scene : kScenes) {
    // Each scene in a folder of its own: one's records do not show in another's lists.
    Bed bed;
    ok &= scene(bed, took);
  }
  return ok;
}

}  // namespace mervane::gui
