// mervane-screenshots FOLDER: renders every window of the program to PNG files in FOLDER, on
// whatever platform Qt runs (scripts/screenshots uses the offscreen one), from the same views and
// models the program shows: the frame, the frame with the Build window and a date picker, the
// Build window with and without its export, the date picker, the symbol chart, the setup,
// maintenance and progress windows, the lists and forms of every table (with a few records, as new
// and as changed records, and a form made larger), two lists side by side, the stop box and every
// standard warning.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <cstdio>
#include <fstream>

#include <QTemporaryDir>

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
#include "core/output/procfile.h"
#include "core/runtime/clock.h"
#include "core/runtime/table.h"
#include "core/setup/calendar.h"
#include "core/setup/initial_setup.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "gui/frame/app_frame.h"
#include "gui/frame/procedures.h"
#include "gui/widgets/message_box.h"
#include "gui/widgets/pictures.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/window_view.h"

namespace {

using namespace mervane;
using namespace mervane::gui;

bool save(QWidget* w, const QDir& dir, const QString& name) {
  w->show();
  QApplication::processEvents();
  const QString file = dir.filePath(name + QStringLiteral(".png"));
  if (!w->grab().save(file)) {
    std::fprintf(stderr, "mervane-screenshots: cannot write %s\n", qPrintable(file));
    return false;
  }
  std::printf("%s\n", qPrintable(file));
  return true;
}

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
struct Shown {
  std::unique_ptr<WindowView> view;
  std::shared_ptr<std::vector<ViewEvent>> events = std::make_shared<std::vector<ViewEvent>>();
};

void answer(WindowModel& m, Shown& s) {
  for (int round = 0; round < 5 && !s.events->empty(); ++round) {
    const std::vector<ViewEvent> events = std::exchange(*s.events, {});
    for (const ViewEvent& e : events)
      if (e.kind == ViewEvent::Kind::Other) m.other_event(e.other);
    s.view->apply(m.state());
    QApplication::processEvents();
  }
}

Shown view_answered(WindowModel& m) {
  m.open();
  Shown s;
  s.view = std::make_unique<WindowView>(m.controls(),
                                        [events = s.events](ViewEvent e) { events->push_back(e); });
  s.view->apply(m.state());
  s.view->adjustSize();
  s.view->show();
  QApplication::processEvents();
  answer(m, s);
  return s;
}

template <class Def>
std::vector<std::int64_t> fill(const QTemporaryDir& work,
                               const std::vector<typename Def::Record>& records) {
  Table<Def> t(work.path().toStdString());
  std::vector<std::int64_t> at;
  if (t.create().failed() || t.open().failed()) return at;
  for (const auto& r : records) {
    t.rec = r;
    if (t.add().is_ok()) at.push_back(t.row_id());
  }
  return at;
}

CalendarRecord event(int d, int h, int m, const char* ccy, const char* descr, const char* impact,
                     const char* actual, const char* forecast, const char* previous) {
  CalendarRecord r;
  r.date = *date_serial(2009, 3, d);
  r.time = tod(h, m);
  r.currency = ccy;
  r.descr = descr;
  r.impact = impact;
  r.actual = actual;
  r.forecast = forecast;
  r.previous = previous;
  r.kxidcode = std::to_string(40000 + d * 100 + h);
  r.symbol = "140";
  r.color = "3";
  r.spacing = "1";
  return r;
}

// The week of 2 March 2009 in the history and the preview, a few auxiliary items, swap rates and
// swap definitions; the positions of the first record of each table.
struct SampleData {
  std::int64_t event = 0, item = 0, rate = 0, definition = 0;
};

SampleData fill_sample_tables(const QTemporaryDir& work) {
  const std::vector<CalendarRecord> events = {
      event(2, 8, 30, "USD", "ISM Manufacturing", "H", "35.8", "34.0", "32.9"),
      event(2, 10, 0, "EUR", "Manufacturing PMI", "M", "33.5", "33.6", "33.6"),
      event(3, 1, 30, "AUD", "RBA Rate Statement", "H", "", "", ""),
      event(4, 8, 15, "USD", "ADP Non-Farm Employment Change", "H", "-697K", "-630K", "-614K"),
      event(4, 10, 0, "CAD", "Overnight Rate", "H", "0.50%", "0.50%", "1.00%"),
      event(5, 7, 45, "EUR", "Minimum Bid Rate", "H", "1.50%", "1.50%", "2.00%"),
      event(6, 8, 30, "USD", "Non-Farm Employment Change", "H", "-651K", "-648K", "-655K"),
      event(7, 0, 0, "JPY", "Bank Holiday", "L", "", "", ""),
  };
  SampleData d;
  if (const auto at = fill<CalendarTable>(work, events); !at.empty()) d.event = at.front();
  std::vector<PviewRecord> preview;
  for (const CalendarRecord& e : events) {
    PviewRecord p;
    p.date = e.date;
    p.time = e.time;
    p.currency = e.currency;
    p.descr = e.descr;
    p.impact = e.impact;
    p.actual = e.actual;
    p.forecast = e.forecast;
    p.previous = e.previous;
    p.kxidcode = e.kxidcode;
    preview.push_back(p);
  }
  fill<PviewTable>(work, preview);

  auto item = [](const char* type, int d, int h, const char* ccy, int symbol, const char* text1,
                 const char* text2) {
    SwapoutRecord r;
    r.rectype = type;
    r.date = *date_serial(2009, 3, d);
    r.time = tod(h);
    r.currency = ccy;
    r.spacing = 2;
    r.symbol = static_cast<std::int16_t>(symbol);
    r.color = 4;
    r.m15 = r.m30 = r.h1 = r.h4 = 1;
    r.text1 = text1;
    r.text2 = text2;
    return r;
  };
  if (const auto at = fill<SwapoutTable>(
          work, {item("SWAP", 4, 21, "EURUSD", 233, "EURUSD swap x3", "Buy -0.45  Sell 0.12"),
                 item("SWAP", 11, 21, "GBPUSD", 234, "GBPUSD swap x3", "Buy -0.80  Sell 0.35"),
                 item("NOTE", 6, 13, "USD", 171, "Payrolls week", "")});
      !at.empty())
    d.item = at.front();

  auto rate = [](const char* pair, double buy, double sell, bool usd, bool eur) {
    SwaprateRecord r;
    r.pair = pair;
    r.buy = buy;
    r.sell = sell;
    r.usd = usd;
    r.eur = eur;
    r.high = 1;
    return r;
  };
  if (const auto at = fill<SwaprateTable>(
          work, {rate("EURUSD", -0.45, 0.12, true, true), rate("GBPUSD", -0.8, 0.35, true, false),
                 rate("USDJPY", 1.25, -2.1, true, false)});
      !at.empty())
    d.rate = at.front();

  auto definition = [](int add, int h, const char* descr, int factor, int symbol, int symbol2) {
    SwapdataRecord r;
    r.dateadd = static_cast<std::int16_t>(add);
    r.mt4time = tod(h);
    r.descr = descr;
    r.factor = static_cast<std::int16_t>(factor);
    r.spacing = 2;
    r.color = 4;
    r.symbol = static_cast<std::int16_t>(symbol);
    r.symbol2 = static_cast<std::int16_t>(symbol2);
    r.h1 = r.h4 = r.d1 = 1;
    return r;
  };
  if (const auto at =
          fill<SwapdataTable>(work, {definition(0, 21, "Sunday rollover", 1, 233, 234),
                                     definition(3, 21, "Wednesday triple swap", 3, 233, 234)});
      !at.empty())
    d.definition = at.front();
  return d;
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

// One event in the Event History, so that the Build window opens without the Initial setup;
// false when it could not be stored.
bool seed_history(const std::filesystem::path& folder) {
  Table<CalendarTable> t(folder);
  if (t.create().failed() || t.open().failed()) return false;
  t.rec.date = *date_serial(2009, 3, 6);
  t.rec.time = 1 + 13 * 360000 + 30 * 6000;
  t.rec.currency = "USD";
  t.rec.descr = "Non-Farm Employment Change";
  t.rec.impact = "H";
  t.rec.color = "3";
  t.rec.symbol = "140";
  return !t.add().failed();
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

// The history maintenance window with Rebuild and with Export chosen (backups in the folder),
// and the message of a swap rate import that left lines out.
bool bulk_window_states(Session& session, const QDir& dir) {
  Quiet quiet;
  NoProgress progress;
  bool ok = true;
  for (const char* name : {"@BACKUP@.CSV", "@MAR09@.CSV", "@week10@.CSV"})
    std::ofstream(session.folder() / name) << "";
  for (const auto& [option, name] :
       {std::pair{"2", "delete-history-rebuild"}, std::pair{"3", "delete-history-export"}}) {
    DeleteHistory m(session, quiet, quiet, progress);
    m.open();
    m.type(static_cast<int>(DeleteHistoryControl::OPTION1), option);
    if (std::string_view(option) == "2")
      m.type(static_cast<int>(DeleteHistoryControl::ADJUSTHRS), "-2");
    auto view = view_shown(m);
    ok &= save(view.get(), dir, QString::fromLatin1(name));
  }
  std::ofstream(session.folder() / "swaprate.csv")
      << "EURUSD,1.25,-3.5\r\nGBPUSD;0.8;-1.1\r\nUSDJPY,0.9,x\r\n,1,2\r\nAUDUSD,1.5\r\n";
  ImportSwapRates import(session, quiet, progress);
  import.open();
  import.type(static_cast<int>(ImportSwapRatesControl::ADDNEW), "1");
  import.accepted(static_cast<int>(ImportSwapRatesControl::OK));
  if (const std::optional<Warning> w = import.skipped_lines()) {
    MessageBox* box = MessageBox::warning_box(*w, nullptr, {});
    ok &= save(box, dir, QStringLiteral("import-swap-rates-skipped"));
    delete box;
  } else {
    std::fprintf(stderr, "mervane-screenshots: the swap rate import skipped no line\n");
    ok = false;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: mervane-screenshots FOLDER\n");
    return 2;
  }
  QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "mervane-screenshots: cannot make %s\n", argv[1]);
    return 1;
  }
  bool ok = true;
  FixedClock clock(*date_serial(2009, 3, 11), 1);
  // The windows open their tables in a folder of their own, not beside the pictures.
  QTemporaryDir work;
  Session session(work.path().toStdString(), clock);
  Quiet quiet;
  NoProgress progress;

  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(program_icon(64))));
  AppFrame frame(session);
  frame.resize(1000, 700);
  ok &= save(&frame, dir, QStringLiteral("frame"));
  // The frame with a window in it, started from the menu as a user starts it.
  frame.action(MainControl::FILEDELETEHISTORY)->trigger();
  QElapsedTimer waited;
  waited.start();
  while ((frame.host().views().empty() || !frame.host().views().front()->isEnabled()) &&
         waited.elapsed() < 10000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  ok &= save(&frame, dir, QStringLiteral("frame-with-window"));

  // The frame as it starts, with the Build window in it, and the date picker of the Build
  // window's start date open over it.
  {
    QTemporaryDir folder;
    if (!seed_history(folder.path().toStdString())) {
      std::fprintf(stderr, "mervane-screenshots: no event could be stored in the history\n");
      return 1;
    }
    Session build_session(folder.path().toStdString(), clock);
    AppFrame build_frame(build_session);
    build_frame.resize(1000, 700);
    build_frame.open();
    WindowView* build = nullptr;
    wait_until([&] { return (build = view_titled(build_frame.host(), kBuildWindowTitle)); });
    if (!build) {
      std::fprintf(stderr, "mervane-screenshots: the Build window did not open\n");
      return 1;
    }
    wait_until([&] { return build->isEnabled() && !build->last_state().title.empty(); });
    ok &= save(&build_frame, dir, QStringLiteral("frame-build"));
    qobject_cast<QAbstractButton*>(build->widget_of(number(ProcFileControl::BUTTON7)))->click();
    WindowView* picker = nullptr;
    wait_until([&] {
      return (picker = view_titled(build_frame.host(), Calendar::kTitle)) && picker->isEnabled() &&
             !build->isEnabled();
    });
    if (picker) {
      QApplication::processEvents();
      const QString file = dir.filePath(QStringLiteral("frame-build-picker.png"));
      ok &= frame_with_floating(build_frame, {picker}).save(file);
      std::printf("%s\n", qPrintable(file));
    } else {
      std::fprintf(stderr, "mervane-screenshots: the date picker did not open\n");
      ok = false;
    }
  }

  // The Build window alone, with the export on (the separator, date format and file of " Char")
  // and off (its controls disabled).
  for (const auto& [xout, name] :
       {std::pair{"4", "build-window"}, std::pair{"1", "build-window-no-export"}}) {
    ProcFile build(WindowServices{session, quiet, progress, quiet, quiet});
    build.open();
    build.type(number(ProcFileControl::XOUT), xout);
    auto view = view_shown(build);
    ok &= save(view.get(), dir, QString::fromLatin1(name));
  }

  // With the weekly feed as the source and both time zones set: the notes beside LOADWEEKS and
  // OFFSET1.
  {
    QTemporaryDir folder;
    const std::filesystem::path f = folder.path().toStdString();
    for (const auto& [name, value] :
         {std::pair{kCalendarSourceSetting, "feed"}, std::pair{kCalendarZoneSetting, "UTC"},
          std::pair{kMt4ZoneSetting, "America/New_York+7"}})
      ok &= !save_calendar_setting(f, name, value).failed();
    Session feed_session(f, clock);
    ProcFile build(WindowServices{feed_session, quiet, progress, quiet, quiet});
    auto view = view_of(build);
    ok &= save(view.get(), dir, QStringLiteral("build-window-feed"));
  }

  // The date picker on 15 March 2009 (today 11 March): both frames show.
  session.with([](Globals& g) { g.cdate = *date_serial(2009, 3, 15); });
  Calendar picker(session);
  auto picker_view = view_of(picker);
  ok &= save(picker_view.get(), dir, QStringLiteral("date-picker"));
  // The same with only Sundays allowed.
  session.with([](Globals& g) {
    g.cdate = *date_serial(2009, 3, 15);
    g.cmask = "0000001";
  });
  Calendar sundays(session);
  auto sundays_view = view_of(sundays);
  ok &= save(sundays_view.get(), dir, QStringLiteral("date-picker-sundays"));

  WingdingChart chart;
  auto chart_view = view_of(chart);
  ok &= save(chart_view.get(), dir, QStringLiteral("wingdings-chart"));

  const struct {
    const char* name;
    std::function<std::unique_ptr<WindowModel>()> make;
  } windows[] = {
      {"initial-setup", [&] { return std::make_unique<InitialSetup>(session, quiet); }},
      {"effects-setup", [&] { return std::make_unique<EffectsSetup>(session, quiet); }},
      {"delete-history",
       [&] { return std::make_unique<DeleteHistory>(session, quiet, quiet, progress); }},
      {"delete-aux-data",
       [&] { return std::make_unique<DeleteSwapOut>(session, quiet, quiet, progress); }},
      {"swap-output",
       [&] { return std::make_unique<SwapOutput>(session, quiet, quiet, progress); }},
      {"import-swap-rates",
       [&] { return std::make_unique<ImportSwapRates>(session, quiet, progress); }},
      {"nci-output", [&] { return std::make_unique<NciOutput>(session, quiet, progress); }},
      {"effect-analysis-report",
       [&] { return std::make_unique<EffectAnalysisReport>(session, quiet, progress); }},
  };
  for (const auto& w : windows) {
    auto model = w.make();
    auto view = view_of(*model);
    ok &= save(view.get(), dir, QString::fromLatin1(w.name));
  }
  ok &= bulk_window_states(session, dir);

  // The lists and forms over a few records of every table.
  const SampleData data = fill_sample_tables(work);
  const struct {
    const char* name;
    std::function<std::unique_ptr<WindowModel>()> make;
  } lists[] = {
      {"browse-history",
       [&] { return std::make_unique<BrowseHistoryByName>(session, quiet, quiet); }},
      {"browse-swapout",
       [&] { return std::make_unique<BrowseSwapOut>(session, quiet, quiet, progress); }},
      {"browse-swaprate",
       [&] { return std::make_unique<BrowseSwapRate>(session, quiet, quiet, progress); }},
      {"browse-swapdata", [&] { return std::make_unique<BrowseSwapData>(session, quiet, quiet); }},
      {"browse-pview", [&] { return std::make_unique<BrowsePview>(session, quiet, quiet); }},
  };
  for (const auto& l : lists) {
    auto model = l.make();
    auto view = view_answered(*model);
    ok &= save(view.view.get(), dir, QString::fromLatin1(l.name));
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
      session.set_request(change ? Request::Change : Request::Insert, change ? f.changed : 0);
      auto model = make_form(f.kind, session, quiet, quiet);
      auto view = view_answered(*model);
      const QString name = QString::fromLatin1(f.name) +
                           (change ? QStringLiteral("-change") : QStringLiteral("-insert"));
      ok &= save(view.view.get(), dir, name);
      if (!change) continue;
      // Made larger by the user: the controls spread.
      view.view->resize(view.view->size() * 1.4);
      QApplication::processEvents();
      answer(*model, view);
      ok &= save(view.view.get(), dir, name + QStringLiteral("-larger"));
    }
  }

  // Two history lists side by side, started from the menu as a user starts them.
  AppFrame browsing(session);
  browsing.resize(1400, 760);
  browsing.show();
  browsing.action(MainControl::FILEBROWSEHISTORY)->trigger();
  browsing.action(MainControl::FILEBROWSEHISTORY)->trigger();
  waited.restart();
  while (browsing.host().views().size() < 2 && waited.elapsed() < 10000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  browsing.area()->tileSubWindows();
  waited.restart();
  while (waited.elapsed() < 500) QApplication::processEvents(QEventLoop::AllEvents, 50);
  ok &= save(&browsing, dir, QStringLiteral("frame-two-history-browses"));

  MessageBox* stop =
      MessageBox::stop_box(qtext("Create(News.CSV) - Access Denied (5)"), nullptr, {});
  ok &= save(stop, dir, QStringLiteral("stop-box"));
  delete stop;
  for (int id : {1, 2, 3, 4, 5, 14, 15, 16, 17, 18, 24, 30, 32, 34, 35, 36, 38}) {
    const Status err(5, "Access Denied");
    MessageBox* box =
        MessageBox::warning_box(make_standard_warning(id, id == 34 ? "Delete" : "Calendar",
                                                      id == 34 ? "Calendar" : "", err),
                                nullptr, {});
    ok &= save(box, dir, QStringLiteral("warning-%1").arg(id, 2, 10, QLatin1Char('0')));
    delete box;
  }
  return ok ? 0 : 1;
}
