// Every window of the program as the user meets it, scene by scene, for pictures and for the
// checks that every window fits the screen: the frame as it starts (with the Build window and a
// date picker over it), the Build window in its states, the date picker, the symbol chart, the
// setup, maintenance and progress windows, the lists and forms of every table over a few records
// (new and changed records, a form made larger), two lists side by side, the stop box and every
// standard warning. Each scene is made from the same views and models the program shows, in a
// folder of its own; nothing is asked, downloaded or written outside it.
//
// Threading: GUI thread only, with a QApplication.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace mervane::gui {

struct Picture {
  QString name;              // the file name without ".png"
  QWidget* shown = nullptr;  // what the picture shows
  QImage image;              // the picture when it is not shown's own (windows over the frame)
  // The program's windows in it, each with whether it is a window of the frame.
  struct Window {
    QWidget* widget;
    bool in_frame;
  };
  std::vector<Window> windows;
};

// Calls took() for every picture of every scene, in order; the widgets live during the call
// only. False when a scene could not be made (said on stderr) or took() answered false.
bool take_pictures(const std::function<bool(const Picture&)>& took);

}  // namespace mervane::gui
