// Lists: a BrowseList showing the model's page; what the user does to it (a row clicked or
// double-clicked, scrolling, the thumb dropped, Home and End, the rows that fit) goes to the
// model, and the keys typed in its table reach the view as the list's.
#include <QTableView>

#include "gui/widgets/browse_list.h"
#include "gui/widgets/controls/control_adapter.h"

namespace mervane::gui {
namespace {

class List final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    auto* list = new BrowseList(parent);
    site.own(list->table(), site.control_defs()[index].id);
    return list;
  }
  void wire(const ControlSpec& c, QWidget* w, ControlSite& site) const override {
    const int id = c.id;
    auto* list = qobject_cast<BrowseList*>(w);
    using K = OtherEvent::Kind;
    QObject::connect(list, &BrowseList::rowClicked, w,
                     [&site, id](int row) { send_other(site, id, K::RowSelected, row); });
    QObject::connect(list, &BrowseList::rowActivated, w,
                     [&site, id](int row) { send_other(site, id, K::RowActivated, row); });
    QObject::connect(list, &BrowseList::scrolled, w,
                     [&site, id](int rows) { send_other(site, id, K::Scroll, rows); });
    QObject::connect(list, &BrowseList::thumbDropped, w,
                     [&site, id](int stop) { send_other(site, id, K::Thumb, stop); });
    QObject::connect(list, &BrowseList::rowsFit, w,
                     [&site, id](int rows) { send_other(site, id, K::PageRows, rows); });
    QObject::connect(list, &BrowseList::jumped, w, [&site, id](bool to_end) {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Key, id);
      e.key.key = to_end ? Key::End : Key::Home;
      e.key.control = id;
      site.send(e);
    });
  }
  void apply(const ControlSpec&, QWidget* w, const ControlState& s, const ControlState*,
             ControlSite& site) const override {
    if (auto* list = qobject_cast<BrowseList*>(w)) list->show_page(s.list, site.unit_width());
  }
};

}  // namespace

const ControlAdapter& list_adapter() {
  static const List a;
  return a;
}

}  // namespace mervane::gui
