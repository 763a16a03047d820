// The shared pieces of the views: the picture validator, the message boxes of every standard
// warning and the stop box, the Wingdings font choice and its chart, the date picker's sheet,
// the frame's background painted in parts, the group boxes, the fonts' configuration read early.
#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRawFont>
#include <QSignalSpy>
#include <QTest>
#include <thread>

#include "core/app/standard_warning.h"
#include "core/runtime/clock.h"
#include "core/setup/calendar.h"
#include "core/util/dates.h"
#include "core/util/wingdings.h"
#include "gui/widgets/font_configuration.h"
#include "gui/widgets/group_box.h"
#include "gui/widgets/message_box.h"
#include "gui/widgets/picture_edit.h"
#include "gui/widgets/pictures.h"
#include "gui/widgets/symbol_font.h"
#include "gui/widgets/window_view.h"

namespace mervane::gui::test {

class WidgetsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void validatorFollowsThePicture_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("state");
    const int ok = QValidator::Acceptable, part = QValidator::Intermediate,
              no = QValidator::Invalid;
    const struct {
      const char* picture;
      const char* typed;
      int state;
    } cases[] = {
        {"d2", "03/11/2009", ok}, {"d2", "3/1/2009", ok},   {"d2", "", ok},
        {"d2", "03/1", part},     {"d2", "03/", part},      {"d2", "13/45/2009", no},
        {"d2", "ab", no},         {"d2", "02/30/2009", no}, {"n-3", "-5", ok},
        {"n-3", "-", part},       {"n-3", "1234", no},      {"n-3", "5x", no},
        {"n_2", "99", ok},        {"n_2", "-1", no},        {"n-_4", "-148", ok},
        {"n8b", "1,234", ok},     {"n8b", "1,", part},      {"s6", "ABCDEF", ok},
        {"s6", "ABCDEFG", no},    {"t1", "12:", part},      {"t1", "23:59", ok},
        {"t1", "25:00", no},
    };
    for (const auto& c : cases)
      QTest::addRow("%s %s", c.picture, c.typed)
          << QString::fromLatin1(c.picture) << QString::fromLatin1(c.typed) << c.state;
    // Texts take what Windows-1252 has and nothing else.
    QTest::addRow("s6 euro") << QStringLiteral("s6") << QString::fromUtf8("\xE2\x82\xAC 10") << ok;
    QTest::addRow("s6 omega") << QStringLiteral("s6") << QString::fromUtf8("\xCE\xA9") << no;
  }
  void validatorFollowsThePicture() {
    QFETCH(QString, picture);
    QFETCH(QString, typed);
    QFETCH(int, state);
    PictureValidator v(picture.toStdString());
    int pos = 0;
    QCOMPARE(static_cast<int>(v.validate(typed, pos)), state);
  }

  void everyStandardWarningAsItsMessageBox_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    const int info = QMessageBox::Information, excl = QMessageBox::Warning;
    const int ok = kOkButton, yes = kYesButton, no = kNoButton, cancel = kCancelButton;
    const struct {
      int id;
      const char* caption;
      int icon, buttons, def;
    } cases[] = {
        {1, "Invalid File", info, ok, ok},
        {2, "Invalid Key", excl, yes + no, yes},
        {3, "Key Rebuild Error", info, ok, ok},
        {4, "File Creation Error", info, ok, ok},
        {5, "File Creation Error", info, ok, ok},
        {14, "Record Insert Error", info, ok, ok},
        {15, "Update Operation Error", info, ok, ok},
        {16, "Record Update Error", info, yes + no + cancel, cancel},
        {17, "Delete Operation Error", info, ok, ok},
        {18, "Record Update Error", info, yes + no + cancel, cancel},
        {24, "Duplicate Key Error", info, ok, ok},
        {30, "File Access Error", info, ok, ok},
        {32, "Confirm Delete", excl, ok + cancel, cancel},
        {34, "Transaction Framing Error", info, ok, ok},
        {35, "Record Retrieval Error", info, ok, ok},
        {36, "View Open Error", info, ok, ok},
        {38, "Record Was Not Updated", info, ok, ok},
    };
    for (const auto& c : cases)
      QTest::addRow("%d", c.id) << c.id << QString::fromLatin1(c.caption) << c.icon << c.buttons
                                << c.def;
  }
  void everyStandardWarningAsItsMessageBox() {
    QFETCH(int, id);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    const Warning w = make_standard_warning(id, "Calendar", "Delete", Status::ok());
    int answer = -99;
    MessageBox* box = MessageBox::warning_box(w, nullptr, [&](int a) { answer = a; });
    box->show();
    QCOMPARE(box->windowTitle(), caption);
    QCOMPARE(box->accessibleName(), caption);
    QCOMPARE(static_cast<int>(box->icon()), icon);
    QCOMPARE(box->isModal(), false);
    int shown = 0;
    for (int b : {kOkButton, kYesButton, kNoButton, kRetryButton, kCancelButton}) {
      QCOMPARE(box->button_for(b) != nullptr, (buttons & b) != 0);
      if (box->button_for(b)) shown += b;
    }
    QCOMPARE(shown, buttons);
    QCOMPARE(box->defaultButton(), box->button_for(defaultButton));
    // Esc answers Cancel where there is one, OK where OK stands alone, and nothing otherwise.
    QTest::keyClick(box, Qt::Key_Escape);
    const int on_escape = (buttons & kCancelButton) ? kCancelButton
                          : buttons == kOkButton    ? kOkButton
                                                    : -99;
    QCOMPARE(answer, on_escape);
    if (answer == -99) {
      QVERIFY(box->isVisible());
      box->defaultButton()->click();
      QCOMPARE(answer, defaultButton);
    }
    delete box;
  }

  void stopBoxWaitsForAbortOrIgnore() {
    int answer = -99;
    MessageBox* box = MessageBox::stop_box(QStringLiteral("Create(News.CSV) - Access Denied"),
                                           nullptr, [&](int a) { answer = a; });
    box->show();
    QCOMPARE(box->windowTitle(), QStringLiteral("Stop"));
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(box->defaultButton(), box->button_for(kAbortAnswer));
    QVERIFY(box->button_for(kIgnoreAnswer));
    QTest::keyClick(box, Qt::Key_Escape);
    box->close();
    QCOMPARE(answer, -99);
    QVERIFY(box->isVisible());
    QTest::keyClick(box, Qt::Key_Return);  // the default: Abort
    QCOMPARE(answer, kAbortAnswer);
    delete box;
  }

  void wingdingsFontIsChosenByCoverage() {
    const QStringList families = QFontDatabase::families();
    // No font here covers the Wingdings codes under that name: Symbola draws them all.
    const SymbolFont w = choose_symbol_font(families, QStringLiteral("Wingdings"), 33, 254);
    QVERIFY(!w.native);
    QCOMPARE(QRawFont::fromFont(w.font).familyName(), QStringLiteral("Symbola"));
    const QRawFont raw = QRawFont::fromFont(w.font);
    for (int code = kFirstWingding; code <= 254; ++code)
      QVERIFY2(raw.supportsCharacter(wingdings_unicode(code)), qPrintable(QString::number(code)));
    QVERIFY(symbol_glyph(w, "Wingdings", 255).isEmpty());
    // A font is taken by name only when it covers the codes asked for.
    const QString dejavu = QStringLiteral("DejaVu Sans");
    QVERIFY(families.contains(dejavu));
    QVERIFY(choose_symbol_font(families, dejavu, 33, 126).native);
    QVERIFY(!choose_symbol_font(families, dejavu, 33, 254).native);
    QVERIFY(!choose_symbol_font({}, dejavu, 33, 126).native);
  }

  // At 100 % and at 200 % (as many pixels again each way, the same picture in units).
  void wingdingsChartIsDrawnWithEveryCode_data() {
    QTest::addColumn<int>("dpr");
    QTest::newRow("100 %") << 1;
    QTest::newRow("200 %") << 2;
  }
  void wingdingsChartIsDrawnWithEveryCode() {
    QFETCH(int, dpr);
    const QImage chart = wingdings_chart(dpr);
    QCOMPARE(chart.size(), QSize(751, 299) * dpr);
    QCOMPARE(chart.deviceIndependentSize(), QSizeF(751, 299));
    // Something is drawn in every row of cells (16 codes a row, 14 rows).
    for (int row = 0; row < 14; ++row) {
      const int y = (row * 299 / 14 + 299 / 28) * dpr;
      int dark = 0;
      for (int x = 0; x < chart.width(); ++x) dark += qGray(chart.pixel(x, y)) < 128;
      QVERIFY2(dark > 10 * dpr, qPrintable(QString::number(row)));
    }
  }

  // The frame's background painted where windows leave it exposed is, there, the background
  // painted whole, and nothing is painted elsewhere.
  void backgroundPaintedInPartsIsTheWholeThere_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRegion>("exposed");
    const QSize s(420, 300);
    QTest::newRow("everything") << s << QRegion(0, 0, 420, 300);
    QTest::newRow("beside and below a window")
        << s << (QRegion(300, 0, 120, 300) + QRegion(0, 220, 420, 80));
    QTest::newRow("a strip through the news marks") << s << QRegion(0, 70, 420, 30);
    QTest::newRow("partly outside the area") << s << QRegion(400, 280, 100, 100);
    QTest::newRow("one pixel high") << QSize(50, 1) << QRegion(0, 0, 50, 1);
  }
  void backgroundPaintedInPartsIsTheWholeThere() {
    QFETCH(QSize, size);
    QFETCH(QRegion, exposed);
    const QColor untouched(Qt::magenta);
    QImage whole(size, QImage::Format_RGB32), part(size, QImage::Format_RGB32);
    whole.fill(untouched);
    part.fill(untouched);
    {
      QPainter p(&whole);
      paint_frame_background(p, size, QRegion(QRect(QPoint(0, 0), size)));
    }
    {
      QPainter p(&part);
      paint_frame_background(p, size, exposed);
    }
    int painted = 0;
    for (int y = 0; y < size.height(); ++y)
      for (int x = 0; x < size.width(); ++x) {
        QVERIFY2(whole.pixel(x, y) != untouched.rgb(),
                 qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        const bool in = exposed.contains(QPoint(x, y));
        painted += in;
        QCOMPARE(part.pixel(x, y), in ? whole.pixel(x, y) : untouched.rgb());
      }
    QVERIFY(painted > 0);
  }

  void datePickerSheetIsLaidOutWithoutOverlaps() {
    FixedClock clock(*date_serial(2009, 3, 11), 1);
    Session session(".", clock);
    session.with([](Globals& g) { g.cdate = *date_serial(2009, 3, 15); });
    Calendar picker(session);
    picker.open();
    WindowView view(picker.controls(), {});
    view.apply(picker.state());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVector<QRect> places;
    for (const ControlSpec& c : picker.controls()) {
      QWidget* w = view.widget_of(c.id);
      QVERIFY(w);
      if (!w->isVisible() || c.kind == ControlKind::Box) continue;
      for (const QRect& r : places)
        QVERIFY2(!r.intersects(w->geometry()),
                 qPrintable(w->objectName() + QStringLiteral(" overlaps")));
      places.push_back(w->geometry());
      // Every text fits its control.
      if (auto* l = qobject_cast<QLabel*>(w)) {
        QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(),
                 qPrintable(l->text()));
      }
    }
    QCOMPARE(
        qobject_cast<QLabel*>(view.widget_of(static_cast<int>(CalendarControl::CTITLE)))->text(),
        QStringLiteral("March 2009"));
    QVERIFY(view.widget_of(static_cast<int>(CalendarControl::BOX11) + 20)->isVisible());
    QVERIFY(!view.widget_of(static_cast<int>(CalendarControl::BOX11) + 19)->isVisible());
    QCOMPARE(view.accessibleName(), QStringLiteral("Select date"));
  }

  // The program's group box looks, pixel for pixel, as the application's style draws a group
  // box: with a title or without, checkable, disabled, small or as large as the Build window's,
  // over a background of the box's own colour and over another colour.
  void groupBoxDrawnAsTheStyleDrawsIt_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QColor>("under");
    const QColor window = QApplication::palette().color(QPalette::Window);
    QTest::newRow("titled, large")
        << "Settings for output" << QSize(1317, 559) << false << true << window;
    QTest::newRow("titled, small") << "NCI" << QSize(172, 55) << false << true << window;
    QTest::newRow("untitled") << QString() << QSize(300, 120) << false << true << window;
    QTest::newRow("checkable") << "Effects" << QSize(300, 120) << true << true << window;
    QTest::newRow("disabled") << "Profiles" << QSize(408, 77) << false << false << window;
    QTest::newRow("over a colour")
        << "Show on" << QSize(509, 103) << false << true << QColor(40, 90, 200);
    QTest::newRow("too small for a middle") << "Tiny" << QSize(20, 12) << false << true << window;
  }
  void groupBoxDrawnAsTheStyleDrawsIt() {
    QFETCH(QString, title);
    QFETCH(QSize, size);
    QFETCH(bool, checkable);
    QFETCH(bool, enabled);
    QFETCH(QColor, under);
    auto draw = [&](QGroupBox& box) {
      QWidget top;
      box.setParent(&top);
      box.setCheckable(checkable);
      box.setEnabled(enabled);
      box.setGeometry(QRect(QPoint(), size));
      // Drawn as a box in a window is: over what is under it (all of it, unlike a picture of a
      // box alone, which the box's frame leaves partly bare).
      QImage image(size, QImage::Format_ARGB32_Premultiplied);
      image.fill(under);
      box.render(&image, QPoint(), QRegion(), {});
      box.setParent(nullptr);
      return image;
    };
    QGroupBox stock(title);
    GroupBox ours(title);
    QCOMPARE(draw(ours), draw(stock));
  }

  // The fonts' configuration read from the start: waiting for it before it was started returns
  // at once; started from several threads at once it is read once, and every waiter returns with
  // the fonts there to be listed.
  void fontConfigurationIsReadOnceAndWaitedFor() {
    wait_for_font_configuration();
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
      threads.emplace_back([] {
        start_reading_font_configuration();
        wait_for_font_configuration();
      });
    for (auto& t : threads) t.join();
    wait_for_font_configuration();
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("DejaVu Sans")));
  }

  // A border picture is drawn with a fill only when stretching it changes nothing but its size.
  void borderPictureStretchFreeOnlyWhenUniform() {
    QImage picture(20, 16, QImage::Format_ARGB32);
    picture.fill(qRgba(0, 0, 0, 3));
    for (int x = 0; x < 20; ++x) picture.setPixel(x, 0, qRgba(60, 60, 60, 50));
    for (int y = 0; y < 16; ++y) picture.setPixel(19, y, qRgba(90, 90, 90, 40));
    const auto centre = stretch_free_centre(picture, 4);
    QVERIFY(centre.has_value());
    QCOMPARE(centre->rgba(), qRgba(0, 0, 0, 3));

    QImage spotted = picture;
    spotted.setPixel(10, 8, qRgba(0, 0, 0, 4));  // the middle not one colour
    QVERIFY(!stretch_free_centre(spotted, 4));
    QImage edged = picture;
    edged.setPixel(10, 1, qRgba(255, 0, 0, 255));  // a line along the top edge not one colour
    QVERIFY(!stretch_free_centre(edged, 4));
    QImage sided = picture;
    sided.setPixel(1, 9, qRgba(255, 0, 0, 255));  // a line along the left edge not one colour
    QVERIFY(!stretch_free_centre(sided, 4));
    QVERIFY(!stretch_free_centre(picture, 10));  // margins leaving no middle
  }
};

}  // namespace mervane::gui::test

QTEST_MAIN(mervane::gui::test::WidgetsTest)
#include "test_widgets.moc"
