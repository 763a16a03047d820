// mervane-screenshots FOLDER [--dark]: renders every window of the program to PNG files in FOLDER,
// on whatever platform and screen Qt runs (scripts/screenshots uses the offscreen one at the usual
// screen sizes), from the same views and models the program shows (gui/scenes/scenes.h), and
// says on stderr which window does not fit the work area of a 1366 x 768 screen or has a text
// that does not fit its place. Exit code 0 when every picture was written and everything fits,
// 1 otherwise, 2 for a usage error. --dark: with a dark desktop palette, as a dark theme gives
// the program (the texts and pictures must stay readable on it).
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "gui/scenes/fit.h"
#include "gui/scenes/scenes.h"
#include "gui/widgets/pictures.h"

namespace {

// A dark desktop theme's colours, as a dark Fusion theme has them.
QPalette dark_palette() {
  QPalette p;
  const QColor window(0x35, 0x35, 0x35), base(0x23, 0x23, 0x23), text(0xEE, 0xEE, 0xEE);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::Light, QColor(0x58, 0x58, 0x58));
  p.setColor(QPalette::Midlight, QColor(0x46, 0x46, 0x46));
  p.setColor(QPalette::Mid, QColor(0x2C, 0x2C, 0x2C));
  p.setColor(QPalette::Dark, QColor(0x22, 0x22, 0x22));
  p.setColor(QPalette::Shadow, QColor(0x14, 0x14, 0x14));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::BrightText, Qt::red);
  p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
  p.setColor(QPalette::HighlightedText, Qt::black);
  p.setColor(QPalette::Link, QColor(0x2A, 0x82, 0xDA));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::Base, window);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace mervane::gui;
  QApplication app(argc, argv);
  const bool dark = argc == 3 && std::strcmp(argv[2], "--dark") == 0;
  if (argc != 2 && !dark) {
    std::fprintf(stderr, "usage: mervane-screenshots FOLDER [--dark]\n");
    return 2;
  }
  if (dark) QApplication::setPalette(dark_palette());
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
  if (misfitting > 0)
    std::fprintf(stderr, "mervane-screenshots: %d things do not fit\n", misfitting);
  return ok && misfitting == 0 ? 0 : 1;
}
