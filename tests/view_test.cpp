// The view model that every front draws: what the user would see wrong if it were.
#include <gtest/gtest.h>

#include <string>

#include "headless/dump.h"
#include "headless/json.h"
#include "tests/test_support.h"
#include "view/window_view.h"

namespace bruvik {
namespace {

struct Viewed {
  std::unique_ptr<Form1> form = test::started(7);
  WindowView view{*form};

  const ControlView& at(const char* name) const {
    const int i = view.find(name);
    EXPECT_GE(i, 0) << name;
    return view.controls()[static_cast<std::size_t>(i < 0 ? 0 : i)];
  }
  // Whether the last frame reported a change of the control's visibility.
  bool reported_visible(const std::vector<ControlChange>& changes, const char* name) const {
    for (const ControlChange& c : changes) {
      if (c.control == view.find(name)) return (c.what & kChangedVisible) != 0;
    }
    return false;
  }
};

TEST(ViewModel, EachFrameShowsWhatWasVisibleSinceTheFrameBefore) {
  const struct {
    const char* what;
    const char* name;
    void (*act)(Form1&);  // between the first frame and the second
    bool visible[3];      // in frames 1, 2, 3
    bool reported[2];     // in frames 2, 3
  } cases[] = {
      {"a flash between two frames",
       "Image2",
       [](Form1& f) {
         f.Image2.set_visible(true);
         f.Image2.set_visible(false);
       },
       {false, true, false},
       {true, true}},
      {"hidden as start-up leaves it",
       "Label20",
       [](Form1&) {},
       {false, false, false},
       {false, false}},
      {"hidden",
       "Label34",
       [](Form1& f) { f.Label34.set_visible(false); },
       {true, false, false},
       {true, false}},
      {"shown and kept",
       "Shape1(3)",
       [](Form1& f) { f.Shape1[3].set_visible(true); },
       {false, true, true},
       {true, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Viewed v;
    EXPECT_EQ(v.view.frame().size(), v.view.controls().size()) << "the first frame has it all";
    EXPECT_EQ(v.at(c.name).visible, c.visible[0]);
    c.act(*v.form);
    for (int frame = 1; frame < 3; ++frame) {
      const std::vector<ControlChange>& changes = v.view.frame();
      EXPECT_EQ(v.at(c.name).visible, c.visible[frame]) << "frame " << frame + 1;
      EXPECT_EQ(v.reported_visible(changes, c.name), c.reported[frame - 1])
          << "frame " << frame + 1;
    }
  }
}

TEST(ViewModel, TheReadingOrderStartsWithWhatTheUserSets) {
  Viewed v;
  const char* const first[] = {"Text6",    "Text7",    "Command2", "Command3", "Command4",
                               "Command5", "Command6", "Command7", "Command1", "Command8",
                               "Option1",  "Option2",  "Text9"};
  for (int k = 0; k < static_cast<int>(std::size(first)); ++k) {
    EXPECT_EQ(v.at(first[k]).reading, k) << first[k];
  }
  // Every control the keyboard reaches once, and nothing else.
  int reached = 0;
  for (const ControlView& c : v.view.controls()) {
    const bool keyboard =
        c.kind == Kind::TextBox || c.kind == Kind::CommandButton || c.kind == Kind::OptionButton;
    EXPECT_EQ(c.reading >= 0, keyboard) << c.name;
    if (c.reading >= 0) {
      ASSERT_LT(c.reading, static_cast<int>(v.view.reading_order().size())) << c.name;
      EXPECT_EQ(v.view.controls()[v.view.reading_order()[c.reading]].name, c.name);
      ++reached;
    }
  }
  EXPECT_EQ(reached, static_cast<int>(v.view.reading_order().size()));
}

TEST(ViewModel, TheBusColoursAreTheDumps) {
  Viewed v;
  Command1_Click(*v.form);
  int busy = 0;  // lines seen in another colour than as built
  for (VirtualMs t = 0; t <= 20000; t += 250) {
    v.form->advance_to(t);
    v.view.frame();
    const Json dump = Json::parse(state_json(*v.form));
    for (const ControlView& c : v.view.controls()) {
      if (c.kind != Kind::Line && c.kind != Kind::Shape) continue;
      const Json& d = dump.at("controls").at(c.name);
      const std::string hex = d.at("border_color").get<std::string>();
      EXPECT_EQ(std::stoul(hex.substr(1), nullptr, 16), c.border.rgb) << c.name << " at " << t;
      EXPECT_EQ(d.at("border_width").get<int>(), c.border_width) << c.name << " at " << t;
      if (c.kind == Kind::Line && c.border != view_colour(kWindowText)) ++busy;
    }
  }
  EXPECT_GT(busy, 0);
}

}  // namespace
}  // namespace bruvik
