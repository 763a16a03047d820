// Every window fits the screens people use: with the frame around it, within the work area of a
// 1366 x 768 screen less its task bar, and every text within its place. The windows are those the
// pictures show (gui/scenes), on a screen of that size.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>

#include "gui/frame/app_frame.h"
#include "gui/scenes/fit.h"
#include "gui/scenes/scenes.h"

namespace mervane::gui::test {

class FitTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The checks themselves: each fault they are there for is found, and a window without one
  // passes.
  void theChecksFindWhatIsCut_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("found");
    for (const char* f : {"none", "label too narrow", "check box too narrow", "button too narrow",
                          "wrapped label too low", "outside the window", "overlapping"})
      QTest::newRow(f) << QString::fromLatin1(f) << (std::string_view(f) != "none");
  }
  void theChecksFindWhatIsCut() {
    QFETCH(QString, fault);
    QFETCH(bool, found);
    QWidget window;
    window.resize(400, 200);
    auto* label = new QLabel(QStringLiteral("Number of weeks' worth of data to load"), &window);
    auto* check = new QCheckBox(QStringLiteral("  Auto set"), &window);
    auto* button = new QPushButton(QStringLiteral("Mirel_Events format"), &window);
    auto* note = new QLabel(
        QStringLiteral("Note: if unchecked, you must first manually save the relevant week's KX "
                       "Calendar as \"truneout\" in the same folder as this EXE"),
        &window);
    note->setWordWrap(true);
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(check),
                       static_cast<QWidget*>(button)})
      w->adjustSize();
    label->move(0, 0);
    check->move(0, 30);
    button->move(0, 60);
    note->setGeometry(0, 100, 300, note->heightForWidth(300));
    if (fault == QStringLiteral("label too narrow"))
      label->resize(label->width() - 10, label->height());
    if (fault == QStringLiteral("check box too narrow"))
      check->resize(check->width() - 6, check->height());
    if (fault == QStringLiteral("button too narrow"))
      button->resize(button->width() / 2, button->height());
    if (fault == QStringLiteral("wrapped label too low")) note->resize(300, note->height() / 2);
    if (fault == QStringLiteral("outside the window")) button->move(350, 60);
    if (fault == QStringLiteral("overlapping")) check->move(20, 5);
    window.show();
    const std::vector<QString> out = misfits(window);
    QVERIFY2(out.empty() != found,
             qPrintable(out.empty() ? QStringLiteral("nothing found") : out.front()));
  }

  void theDesktopSizeCountsTheFrameAroundAWindowOfTheFrame() {
    QWidget window;
    window.resize(1300, 600);
    const QSize alone = desktop_size(window, false);
    const QSize framed = desktop_size(window, true);
    QCOMPARE(alone, QSize(1300, 600).grownBy(AppFrame::kDecoration));
    // A menu bar, a status bar and the sub-window's title at the least.
    QVERIFY2(framed.height() >= alone.height() + 3 * window.fontMetrics().height(),
             qPrintable(QStringLiteral("%1").arg(framed.height())));
    QVERIFY(framed.width() > alone.width());
  }

  void everyWindowFitsTheWorkAreaWithEveryTextInItsPlace() {
    QStringList problems;
    int windows = 0;
    QVERIFY(take_pictures([&](const Picture& p) {
      for (const Picture::Window& w : p.windows) {
        ++windows;
        const QSize size = desktop_size(*w.widget, w.in_frame);
        if (size.width() > kWorkArea.width() || size.height() > kWorkArea.height())
          problems << QStringLiteral("%1: %2 x %3 on the desktop")
                          .arg(p.name)
                          .arg(size.width())
                          .arg(size.height());
        for (const QString& m : misfits(*w.widget)) problems << p.name + QStringLiteral(": ") + m;
      }
      return true;
    }));
    // Every kind of window: the Build window, the small windows, the bulk windows, the lists and
    // forms, the messages.
    QVERIFY2(windows >= 45, qPrintable(QString::number(windows)));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }
};

}  // namespace mervane::gui::test

// On a screen of 1366 x 768 at 96 dots per inch, the laptop screen the windows must fit.
int main(int argc, char** argv) {
  QTemporaryFile screen;
  if (!screen.open()) return 1;
  screen.write(R"({ "screens": [ { "name": "laptop", "x": 0, "y": 0, "width": 1366,
      "height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })");
  screen.flush();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.fileName().toLocal8Bit());
  QApplication app(argc, argv);
  mervane::gui::test::FitTest t;
  return QTest::qExec(&t, argc, argv);
}
#include "test_fit.moc"
