#include "form/control.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

// Only a change runs the change handler and advances the revision, of the text and of every other property.
TEST(Control, ChangeHandlerRunsInsideAWriteOfADifferentTextOnly) {
  std::uint64_t changes = 0;
  Control field(ControlKind::TextBox, "txtAuge(0)", nullptr, &changes);
  std::vector<std::string> seen;
  field.onChange([&] { seen.push_back(field.text()); });
  for (const char* text : {"5", "5", " 5", ""}) field.setText(text);
  EXPECT_EQ(seen, (std::vector<std::string>{"5", " 5", ""}));
  EXPECT_EQ(changes, 3u);
  const auto revision = field.revision();
  field.setVisible(false);
  field.setVisible(false);
  field.setEnabled(false);
  field.setBackColor(kLightYellow);
  field.move(10, 20);
  EXPECT_EQ(field.revision(), revision + 4);
}

TEST(Control, ScrollBarValueStaysWithinItsLimitsAndRaisesChangeOnlyWhenItMoves) {
  std::uint64_t changes = 0;
  Control bar(ControlKind::ScrollBar, "VScroll1(0)", nullptr, &changes);
  bar.setRange(3, 8);
  int raised = 0;
  bar.onChange([&] { ++raised; });
  bar.setValue(9);
  EXPECT_EQ(bar.value(), 8);
  bar.setValue(12);
  bar.setValue(2);
  EXPECT_EQ(bar.value(), 3);
  EXPECT_EQ(raised, 2);
}

}  // namespace
}  // namespace varno
