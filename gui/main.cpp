// mervane: the windows program. Start-up does no work of the program's own: the frame opens,
// starts the Build window and shows itself; everything else happens in the windows.
//
//   mervane [--dir DIR] [--today DATE] [--now HH:MM]
//
// Without --dir the folder is the user's own, ~/Mervane, made at the first start: a start from
// the desktop has the home folder as its current folder, which is no place for the tables.
//
// Exit codes: 0 done (also after an automatic Build run), 2 usage error, 3 ended by a message
// (Abort, or a warning that ends the program) after every window unwound.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "core/runtime/program_options.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/font_configuration.h"
#include "gui/widgets/qt_text.h"

int main(int argc, char** argv) {
  // The fonts' configuration is read while the application is made.
  mervane::gui::start_reading_font_configuration();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("mervane"));
  QApplication::setApplicationVersion(QStringLiteral(MERVANE_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Mervane: the weekly economic calendar into News.CSV for MT4 chart indicators"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption dir(
      QStringLiteral("dir"),
      QStringLiteral("working folder (tables, settings, saved page); default: ~/Mervane, made "
                     "at the first start"),
      QStringLiteral("DIR"));
  const QCommandLineOption today(QStringLiteral("today"),
                                 QStringLiteral("take DATE (mm/dd/yyyy or yyyy-mm-dd) as today"),
                                 QStringLiteral("DATE"));
  const QCommandLineOption now(QStringLiteral("now"),
                               QStringLiteral("take HH:MM as the time of day"),
                               QStringLiteral("HH:MM"));
  parser.addOptions({dir, today, now});
  parser.process(app);

  mervane::ProgramOptions options;
  options.dir = parser.isSet(dir) ? parser.value(dir).toStdString() : std::string();
  options.today = parser.value(today).toStdString();
  options.now = parser.value(now).toStdString();
  mervane::ProgramStart start;
  try {
    start = mervane::start_from(options);
  } catch (const mervane::BadOption& e) {
    std::fprintf(stderr, "mervane: %s\n", e.what());
    return 2;
  }
  mervane::Session session(start.folder, *start.clock);
  session.set_host(mervane::HostEnvironment::current());
  mervane::gui::AppFrame frame(session);
  frame.set_folder_made(start.folder_made);
  QObject::connect(
      &frame.host(), &mervane::gui::Host::programEnded, &app, [](int code, const QString& why) {
        if (!why.isEmpty())
          std::fprintf(stderr, "mervane: stopped: %s\n", why.toLocal8Bit().constData());
        QCoreApplication::exit(code);
      });
  frame.open();
  return QApplication::exec();
}
