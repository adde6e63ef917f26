// The window as built: every control has its widget where the table puts it, with its caption,
// colours, font and picture; captions fit their boxes; the ring is drawn over the computer.
#include <QAccessible>
#include <QFontInfo>
#include <QImage>
#include <QStyle>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/operator_controls.h"
#include "model/form.h"
#include "model/form_table.h"
#include "tests/window_support.h"
#include "ui/control_widgets.h"
#include "ui/main_window.h"
#include "ui/pictures.h"

namespace bruvik {
namespace {

struct LayoutWindow : TestWindow {
  // Top-left corner in the client area's pixels.
  QPoint corner(const char* name) { return at(name)->mapTo(&view(), QPoint(0, 0)); }
};

TEST(WindowLayout, EveryControlHasItsWidgetInItsContainerAtItsPlace) {
  LayoutWindow w;
  EXPECT_EQ(w.form.controls().size(), built_controls().size());
  for (const Control& c : w.form.controls()) {
    const BuiltControl& s = c.built();
    const std::string name = window_name(s);
    SCOPED_TRACE(name);
    QWidget* widget = w.view().widget(name);
    ASSERT_NE(widget, nullptr);
    QWidget* container = *s.container == '\0' ? &w.view() : w.view().widget(s.container);
    EXPECT_EQ(widget->parentWidget(), container);
    if (s.kind == Kind::Line) {
      auto* line = dynamic_cast<LineView*>(widget);
      ASSERT_NE(line, nullptr);
      EXPECT_EQ(line->from(), QPoint(s.x1 / 15, s.y1 / 15));
      EXPECT_EQ(line->to(), QPoint(s.x2 / 15, s.y2 / 15));
    } else {
      EXPECT_EQ(widget->geometry(), QRect(s.left / 15, s.top / 15, s.width / 15, s.height / 15));
    }
  }
}

TEST(WindowLayout, EachKindIsDrawnByItsOwnWidget) {
  LayoutWindow w;
  const struct {
    Kind kind;
    bool (*is)(QWidget*);
  } kinds[] = {
      {Kind::Label, [](QWidget* x) { return dynamic_cast<LabelView*>(x) != nullptr; }},
      {Kind::TextBox, [](QWidget* x) { return dynamic_cast<TextBoxView*>(x) != nullptr; }},
      {Kind::CommandButton, [](QWidget* x) { return dynamic_cast<CommandView*>(x) != nullptr; }},
      {Kind::OptionButton, [](QWidget* x) { return dynamic_cast<OptionView*>(x) != nullptr; }},
      {Kind::Frame, [](QWidget* x) { return dynamic_cast<FrameView*>(x) != nullptr; }},
      {Kind::Line, [](QWidget* x) { return dynamic_cast<LineView*>(x) != nullptr; }},
      {Kind::Shape, [](QWidget* x) { return dynamic_cast<ShapeView*>(x) != nullptr; }},
      {Kind::Image, [](QWidget* x) { return dynamic_cast<ImageView*>(x) != nullptr; }},
  };
  int counts[8] = {};
  for (const Control& c : w.form.controls()) {
    for (const auto& k : kinds) {
      if (k.kind != c.kind()) continue;
      EXPECT_TRUE(k.is(w.view().widget(window_name(c.built())))) << window_name(c.built());
      ++counts[static_cast<int>(k.kind)];
    }
  }
  // 47 labels, 25 text boxes, 8 buttons, 2 options, 4 frames, 18 lines, 12 shapes, 21 images.
  const int expected[8] = {47, 25, 8, 2, 4, 18, 12, 21};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(counts[k], expected[k]) << "kind " << k;
}

TEST(WindowLayout, HandCheckedPlacesInTheClientArea) {
  LayoutWindow w;
  const struct {
    const char* name;
    QRect where;  // client-area pixels
  } places[] = {
      {"Command1", {64, 648, 153, 25}}, {"Command8", {232, 648, 65, 25}},
      {"Frame1", {48, 16, 289, 225}},   {"Text6", {744, 16, 41, 19}},
      {"Label3", {536, 280, 73, 225}},  {"Label29", {16, 584, 449, 33}},
      {"Image2", {216, 384, 48, 48}},   {"Shape1(0)", {72, 296, 49, 49}},
      {"Image1(9)", {80, 472, 32, 32}}, {"Command2", {528, 576, 9, 17}},
      {"Command4", {648, 576, 9, 17}},  {"Text13", {808, 576, 41, 19}},
      {"Option2", {192, 208, 129, 17}}, {"Text3(1)", {0, 0, 33, 19}},
  };
  for (const auto& p : places) {
    SCOPED_TRACE(p.name);
    QWidget* widget = w.at(p.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(QRect(w.corner(p.name), widget->size()), p.where);
  }
}

TEST(WindowLayout, StationsRunClockwiseRoundTheBus) {
  LayoutWindow w;
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    const std::string top = "Image1(" + std::to_string(i) + ")";
    const std::string bottom = "Image1(" + std::to_string(9 - i) + ")";
    const QPoint a = w.at(top.c_str())->pos();
    const QPoint b = w.at(bottom.c_str())->pos();
    EXPECT_EQ(a.x(), b.x());  // station 9 under station 0, 5 under 4
    EXPECT_LT(a.y(), b.y());
    if (i > 0) {
      const std::string left = "Image1(" + std::to_string(i - 1) + ")";
      EXPECT_LT(w.at(left.c_str())->x(), a.x());  // left to right along the top
    }
  }
}

TEST(WindowLayout, TheWindowHasItsCaptionClientAreaAndStrip) {
  LayoutWindow w;
  const QString title = w.window->windowTitle();
  EXPECT_EQ(title.size(), 175);
  EXPECT_TRUE(title.startsWith("Aloha Methods & Multiple access Collussion Detection    "));
  EXPECT_TRUE(title.endsWith("    R. V."));
  w.window->adjustSize();
  EXPECT_EQ(w.view().size(), QSize(1016, 705));
  EXPECT_EQ(w.view().pos(), QPoint(0, 0));
  EXPECT_EQ(w.window->width(), 1016);
  EXPECT_GT(w.window->height(), 705 + 20);  // the strip under the client area
  EXPECT_GE(w.window->strip().y(), 705);
}

TEST(WindowLayout, CaptionsAreThoseOfTheTableWithTheirBlanks) {
  LayoutWindow w;
  for (const Control& c : w.form.controls()) {
    const std::string name = window_name(c.built());
    QWidget* widget = w.view().widget(name);
    const QString want = QString::fromStdString(c.text());
    if (auto* label = dynamic_cast<QLabel*>(widget)) {
      EXPECT_EQ(label->text(), want) << name;
    } else if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
      EXPECT_EQ(button->text(), want) << name;
    } else if (auto* box = dynamic_cast<QLineEdit*>(widget)) {
      EXPECT_EQ(box->text(), want) << name;
    }
  }
  EXPECT_EQ(w.view().widget_as<QLabel>("Label20")->text(), "# of Waited Data ");
  EXPECT_EQ(w.view().widget_as<QLabel>("Label9")->text(), "NON  PERSISTANT");
}

TEST(WindowLayout, FontsAreThePinnedSansAtTheirPixelSizes) {
  LayoutWindow w;
  const struct {
    const char* name;
    int pixels;
    bool bold;
  } fonts[] = {
      {"Label2", 16, false},    {"Label3", 16, false},  {"Label29", 16, false},
      {"Label16", 13, true},    {"Label6", 11, true},   {"Label33", 11, true},
      {"Label17(3)", 11, true}, {"Label18", 11, false}, {"Command1", 11, false},
      {"Text6", 11, false},     {"Option1", 11, false},
  };
  for (const auto& f : fonts) {
    SCOPED_TRACE(f.name);
    const QFont font = w.at(f.name)->font();
    EXPECT_EQ(font.pixelSize(), f.pixels);
    EXPECT_EQ(font.bold(), f.bold);
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");
  }
}

TEST(WindowLayout, OneLineCaptionsFitTheirBoxes) {
  LayoutWindow w;
  for (const Control& c : w.form.controls()) {
    const std::string name = window_name(c.built());
    SCOPED_TRACE(name);
    QWidget* widget = w.view().widget(name);
    const QString text = QString::fromStdString(c.text()).trimmed();
    if (auto* label = dynamic_cast<LabelView*>(widget)) {
      if (label->height() >= 2 * QFontMetrics(label->font()).height() || text.isEmpty()) continue;
      EXPECT_EQ(label->lines().size(), 1);
      EXPECT_LE(QFontMetricsF(label->drawn_font()).horizontalAdvance(text), label->width());
    } else if (auto* option = dynamic_cast<OptionView*>(widget)) {
      const int indicator = option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth);
      EXPECT_LE(indicator + QFontMetrics(option->font()).horizontalAdvance(text), option->width());
    } else if (auto* button = dynamic_cast<CommandView*>(widget)) {
      EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(text), button->width());
    }
  }
}

TEST(WindowLayout, BlanksBreakTheNarrowLabelsIntoLines) {
  LayoutWindow w;
  const struct {
    const char* name;
    QStringList words;
  } cases[] = {
      {"Label2", {"ALOHA", "Methods"}},
      {"Label3", {"Carrier", "sence", "multiple", "access", "collussion", "detection"}},
      {"Label9", {"NON  PERSISTANT"}},
      {"Label20", {"# of Waited Data"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QStringList lines = w.view().widget_as<LabelView>(c.name)->lines();
    // The blanks that broke a line hang at its end and are kept in the text.
    const QString joined = lines.join(QString());
    EXPECT_EQ(joined, QString::fromStdString(w.form.find_named(c.name)->text()));
    for (QString& line : lines) line = line.trimmed();
    EXPECT_EQ(lines, c.words);
  }
}

TEST(WindowLayout, TooltipsOfTheOperatorValuesAreTheTurkishTexts) {
  LayoutWindow w;
  const struct {
    const char* name;
    const char* tip;
  } tips[] = {
      {"Text11", "busynin süresini uzatır"},
      {"Text12", "randomın limitini düşürür"},
      {"Text13", "busy lineın süresini artıracak"},
      {"Text6", ""},
      {"Command2", ""},
  };
  for (const auto& t : tips) EXPECT_EQ(w.at(t.name)->toolTip(), QString::fromUtf8(t.tip)) << t.name;
}

TEST(WindowLayout, ColoursComeFromTheModelAndThePalette) {
  LayoutWindow w;
  w.window->show();
  const QImage shot = w.window->grab().toImage();
  const QPalette pal = w.view().palette();
  const struct {
    const char* what;
    QPoint at;
    QColor colour;
  } samples[] = {
      {"window background", {470, 300}, QColor(255, 192, 192)},
      {"Label5 back", {890, 92}, QColor(0, 0, 255)},
      {"Label17(0) back", {230, 102}, QColor(0, 0, 255)},
      {"Frame1 highlight", {60, 30}, pal.color(QPalette::Highlight)},
      {"Label17(1) highlight", {230, 126}, pal.color(QPalette::Highlight)},
      {"Label29 window background", {460, 610}, pal.color(QPalette::Base)},
      {"Label4 button face", {680, 647}, pal.color(QPalette::Button)},
      {"Label1(2) pink", {880, 280}, QColor(255, 192, 192)},
      {"Label8 violet", {770, 256}, QColor(255, 192, 255)},
  };
  for (const auto& s : samples) EXPECT_EQ(shot.pixelColor(s.at), s.colour) << s.what;
}

TEST(WindowLayout, PicturesAreOurOwnThirtyTwoPixelIcons) {
  const struct {
    Picture picture;
    QColor main;
    int at_least;  // pixels of the main colour
  } pictures[] = {
      {Picture::Computer, QColor(0, 0, 0x80), 100},
      {Picture::Lightning, QColor(255, 255, 0), 120},
      {Picture::Flag, QColor(255, 0, 0), 100},
  };
  for (const auto& p : pictures) {
    const QImage image = picture_image(p.picture);
    ASSERT_EQ(image.size(), QSize(32, 32));
    int main = 0, clear = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.alpha() == 0) ++clear;
        if (c.alpha() == 255 && c.rgb() == p.main.rgb()) ++main;
      }
    }
    EXPECT_GE(main, p.at_least) << static_cast<int>(p.picture);
    EXPECT_GT(clear, 50) << "an icon is transparent round its drawing";
  }
  EXPECT_TRUE(picture_image(Picture::None).isNull());
}

TEST(WindowLayout, TheLightningIsStretchedToItsBox) {
  LayoutWindow w;
  w.form.Image2.set_visible(true);
  w.window->refresh();
  const QImage drawn = w.at("Image2")->grab().toImage();
  EXPECT_EQ(drawn.size(), QSize(48, 48));
  const auto yellow_in = [](const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        n += c.red() > 200 && c.green() > 200 && c.blue() < 100;
      }
    }
    return n;
  };
  // 1.5 times each way: about 2.25 times the bolt's pixels (its smoothed edge aside).
  EXPECT_GT(yellow_in(drawn), yellow_in(picture_image(Picture::Lightning)) * 9 / 5);
}

TEST(WindowLayout, TheRingIsDrawnOverTheComputerAndLeavesItVisible) {
  LayoutWindow w;
  QWidget* frame = w.at("Frame2(0)");
  for (int i = 0; i < 10; ++i) {
    const QObjectList& stack = frame->children();
    const std::string ring = "Shape1(" + std::to_string(i) + ")";
    const std::string computer = "Image1(" + std::to_string(i) + ")";
    EXPECT_GT(stack.indexOf(w.at(ring.c_str())), stack.indexOf(w.at(computer.c_str()))) << i;
  }
  const QRect ring = w.at("Shape1(3)")->geometry();
  const QImage without = frame->grab().toImage();
  w.form.Shape1[3].set_visible(true);
  w.window->refresh();
  const QImage with = frame->grab().toImage();
  // Inside, the computer shows as before; on the left edge the dark red ring.
  const QPoint centre = ring.center();
  EXPECT_EQ(with.pixelColor(centre), without.pixelColor(centre));
  const QColor edge = with.pixelColor(ring.left(), ring.center().y());
  EXPECT_GT(edge.red(), 120);
  EXPECT_LT(edge.green(), 120);
  EXPECT_LT(edge.blue(), 120);
  EXPECT_NE(without.pixelColor(ring.left(), ring.center().y()), edge);
}

}  // namespace
}  // namespace bruvik
