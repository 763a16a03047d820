// Each list with its form, driven as a user drives them: insert, change, OK without a change,
// delete answered Cancel and OK, a repeated key, a change that meets a record another window
// changed, and locating by a typed character.
#include <gtest/gtest.h>

#include "tests/history/record_cases.h"
#include "tests/support/window_bed.h"

namespace mervane {
namespace {

using B = BrowseControl;

template <class Case>
class ListAndForm : public ::testing::Test, protected test::WindowBed {
 protected:
  using Record = typename Case::Record;
  using Form = typename Case::Form;

  void SetUp() override {
    test::fill_table<typename Case::Def>(dir.path(), Case::stored());
    list.open();
    list.other_event({OtherEvent::Kind::PageRows, number(B::BROWSE_1), 10});
  }
  std::vector<Record> stored() { return test::table_records<typename Case::Def>(dir.path()); }
  const Record& highlighted() {
    EXPECT_GE(list.highlighted(), 0);
    return list.page()[static_cast<std::size_t>(list.highlighted())].rec;
  }
  std::int64_t highlighted_id() {
    return list.page()[static_cast<std::size_t>(list.highlighted())].id;
  }
  // The form the list opens runs `play` on it.
  void on_form(std::function<void(Form&)> play) {
    windows.on<Form>([play](Form& f) {
      play(f);
      EXPECT_TRUE(f.closed()) << "the form is left open";
    });
  }
  void type(Form& f, const test::Typed& fields) {
    for (const auto& [control, text] : fields) {
      f.type(control, text);
      EXPECT_EQ(reporter.warnings.size(), 0u) << control << ": " << text;
    }
  }

  std::unique_ptr<typename Case::List> made_ = Case::make_list(*this);
  typename Case::List& list = *made_;
};

using Cases =
    ::testing::Types<test::HistoryCase, test::SwapOutCase, test::SwapRateCase, test::SwapDataCase>;
TYPED_TEST_SUITE(ListAndForm, Cases);

TYPED_TEST(ListAndForm, InsertShowsTheNewRecordHighlighted) {
  this->on_form([&](typename TypeParam::Form& f) {
    EXPECT_EQ(f.title(), std::string("Adding a ") + TypeParam::name + " Record");
    EXPECT_EQ(f.value(TypeParam::changed), "") << "a new record starts blank";
    this->type(f, TypeParam::new_record());
    EXPECT_EQ(f.accepted(TypeParam::ok), Reply::closed(Response::Completed));
  });
  EXPECT_EQ(this->list.key({Key::Insert}), Reply::stay());
  ASSERT_EQ(this->windows.calls.size(), 1u);
  const auto all = this->stored();
  EXPECT_EQ(all.size(), 4u);
  EXPECT_EQ(std::count_if(all.begin(), all.end(), TypeParam::is_new), 1);
  EXPECT_TRUE(TypeParam::is_new(this->highlighted()));
  EXPECT_EQ(this->session.uses(TypeParam::Def::schema().store), 1) << "the form released its use";
}

TYPED_TEST(ListAndForm, ChangeWritesTheFieldAndKeepsTheRecordHighlighted) {
  this->list.other_event({OtherEvent::Kind::RowSelected, number(B::BROWSE_1), 1});
  const std::int64_t id = this->highlighted_id();
  this->on_form([&](typename TypeParam::Form& f) {
    EXPECT_EQ(f.title(), std::string("Changing a ") + TypeParam::name + " Record");
    EXPECT_EQ(f.record(), this->highlighted()) << "the form shows the stored record";
    f.type(TypeParam::changed, TypeParam::change);
    EXPECT_EQ(f.accepted(TypeParam::ok), Reply::closed(Response::Completed));
  });
  this->list.key({Key::Enter});
  EXPECT_EQ(this->highlighted_id(), id);
  EXPECT_TRUE(TypeParam::has_change(this->highlighted()));
  const auto all = this->stored();
  EXPECT_EQ(std::count_if(all.begin(), all.end(), TypeParam::has_change), 1);
}

TYPED_TEST(ListAndForm, OkWithoutAChangeWritesNothing) {
  const std::int64_t id = this->list.page()[0].id;
  const auto db = this->dir / TypeParam::db;
  const std::int64_t version = test::stored_version(db, id);
  this->on_form([&](typename TypeParam::Form& f) {
    f.type(TypeParam::changed, f.value(TypeParam::changed));  // typed over with the same
    EXPECT_EQ(f.accepted(TypeParam::ok), Reply::closed(Response::Completed));
  });
  // A double click is Change, as Ctrl+Enter is.
  this->list.other_event({OtherEvent::Kind::RowActivated, number(B::BROWSE_1), 0});
  this->list.key({Key::CtrlEnter});
  EXPECT_EQ(this->windows.calls.size(), 2u);
  EXPECT_EQ(test::stored_version(db, id), version);
}

TYPED_TEST(ListAndForm, DeleteAsksAndCancelKeepsTheRecord) {
  this->on_form(
      [&](typename TypeParam::Form& f) { EXPECT_TRUE(f.closed()) << "a delete shows no window"; });
  this->list.other_event({OtherEvent::Kind::RowSelected, number(B::BROWSE_1), 1});
  const typename TypeParam::Record second = this->highlighted();
  const typename TypeParam::Record third = this->list.page()[2].rec;
  this->reporter.warning_answers = {kCancelButton};
  this->list.key({Key::Delete});
  ASSERT_EQ(this->reporter.warnings.size(), 1u);
  EXPECT_EQ(this->reporter.warnings[0].text,
            "You've selected to delete the highlighted record.  Press OK to confirm deletion of "
            "this record.");
  EXPECT_EQ(this->reporter.warnings[0].caption, "Confirm Delete");
  EXPECT_EQ(this->stored().size(), 3u);
  EXPECT_EQ(this->session.response().response, 2);

  this->reporter.warning_answers = {kOkButton};
  this->list.accepted(number(B::DELETE));
  const auto all = this->stored();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(std::count(all.begin(), all.end(), second), 0);
  EXPECT_EQ(this->list.page().size(), 2u);
  EXPECT_EQ(this->highlighted(), third) << "the next record takes the deleted one's row";
  EXPECT_EQ(this->session.response().response, 1);
}

TYPED_TEST(ListAndForm, ARepeatedKeyIsNamedAndTheFormStaysOpen) {
  this->on_form([&](typename TypeParam::Form& f) {
    for (const auto& [control, text] : TypeParam::duplicate()) f.type(control, text);
    EXPECT_EQ(f.accepted(TypeParam::ok), Reply::stay());
    ASSERT_EQ(this->reporter.warnings.size(), 1u);
    EXPECT_EQ(this->reporter.warnings[0].text,
              std::string("Adding this record creates a duplicate entry for the key:") +
                  TypeParam::key_name);
    EXPECT_EQ(this->reporter.warnings[0].caption, "Duplicate Key Error");
    EXPECT_EQ(f.focus(), f.controls()[1].id) << "the cursor goes back to the first field";
    EXPECT_EQ(f.key({Key::Esc}), Reply::closed(Response::Cancelled));
  });
  this->list.accepted(number(B::INSERT));
  EXPECT_EQ(this->stored().size(), 3u);
}

TYPED_TEST(ListAndForm, AChangeMeetingAnotherWindowsChangeShowsTheStoredVersion) {
  const std::int64_t id = this->highlighted_id();
  this->on_form([&](typename TypeParam::Form& f) {
    f.type(TypeParam::changed, TypeParam::change);
    {  // another window changes the record meanwhile
      Table<typename TypeParam::Def> other(this->dir.path());
      ASSERT_TRUE(other.open().is_ok());
      ASSERT_TRUE(other.get_at(id).is_ok());
      TypeParam::other_change(other.rec);
      ASSERT_TRUE(other.put().is_ok());
    }
    EXPECT_EQ(f.accepted(TypeParam::ok), Reply::stay());
    ASSERT_EQ(this->reporter.warnings.size(), 1u);
    EXPECT_EQ(this->reporter.warnings[0].id, 38);
    EXPECT_EQ(this->reporter.warnings[0].caption, "Record Was Not Updated");
    EXPECT_TRUE(TypeParam::has_other_change(f.record())) << "the stored version is shown";
    EXPECT_FALSE(TypeParam::has_change(f.record()));
    // Ctrl+' on the field recalls what the user had typed.
    f.key({Key::Ditto, 0, TypeParam::changed});
    EXPECT_TRUE(TypeParam::has_change(f.record()));
    EXPECT_EQ(f.accepted(TypeParam::ok), Reply::closed(Response::Completed));
  });
  this->list.key({Key::Enter});
  const typename TypeParam::Record& now = this->highlighted();
  EXPECT_TRUE(TypeParam::has_change(now));
  EXPECT_TRUE(TypeParam::has_other_change(now)) << "the other window's change was kept";
}

TYPED_TEST(ListAndForm, ATypedCharacterLocatesByTheLeadingField) {
  const int leading = TypeParam::Def::schema().keys[0].columns.front();
  auto begins = [&](const typename TypeParam::Record& r) {
    const FieldValue v = field_value(r, leading);
    const std::string text = std::holds_alternative<std::string>(v)
                                 ? std::get<std::string>(v)
                                 : std::to_string(std::get<std::int64_t>(v));
    return !text.empty() && fold_case(text[0]) == fold_case(TypeParam::locate);
  };
  const auto all = this->stored();
  const auto first = std::find_if(all.begin(), all.end(), begins);
  ASSERT_NE(first, all.end());
  this->list.key({Key::End});
  this->list.key({Key::Char, TypeParam::locate});
  EXPECT_EQ(this->highlighted(), *first);
  this->list.key({Key::Char, '#'});  // nothing begins with it: nothing moves
  EXPECT_EQ(this->highlighted(), *first);
}

}  // namespace
}  // namespace mervane
