// mervane-screenshots FOLDER: renders every window of the program to PNG files in FOLDER, on
// whatever platform and screen Qt runs (scripts/screenshots uses the offscreen one at the usual
// screen sizes), from the same views and models the program shows (gui/scenes/scenes.h), and
// says on stderr which window does not fit the work area of a 1366 x 768 screen or has a text
// that does not fit its place. Exit code 0 when every picture was written and everything fits,
// 1 otherwise, 2 for a usage error.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

#include "gui/scenes/fit.h"
#include "gui/scenes/scenes.h"
#include "gui/widgets/pictures.h"

int main(int argc, char** argv) {
  using namespace mervane::gui;
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
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(program_icon(64))));
  int misfitting = 0;
  const bool ok = take_pictures([&](const Picture& p) {
    const QString file = dir.filePath(p.name + QStringLiteral(".png"));
    const QImage image = p.image.isNull() ? p.shown->grab().toImage() : p.image;
    if (!image.save(file)) {
      std::fprintf(stderr, "mervane-screenshots: cannot write %s\n", qPrintable(file));
      return false;
    }
    std::printf("%s\n", qPrintable(file));
    for (const Picture::Window& w : p.windows) {
      const QSize size = desktop_size(*w.widget, w.in_frame);
      if (size.width() > kWorkArea.width() || size.height() > kWorkArea.height()) {
        std::fprintf(stderr, "%s: %d x %d on the desktop, larger than the work area %d x %d\n",
                     qPrintable(p.name), size.width(), size.height(), kWorkArea.width(),
                     kWorkArea.height());
        ++misfitting;
      }
      for (const QString& m : misfits(*w.widget)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(p.name), qPrintable(m));
        ++misfitting;
      }
    }
    return true;
  });
  if (misfitting > 0) std::fprintf(stderr, "mervane-screenshots: %d things do not fit\n", misfitting);
  return ok && misfitting == 0 ? 0 : 1;
}
