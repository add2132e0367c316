// A window model with evaluation enabled, and helpers to write and read whole dice.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/form.h"
#include "ring/ring.h"
#include "window/frmvarno.h"

namespace varno {

class RingTest : public ::testing::Test {
 protected:
  RingTest() {
    form.Freigabe = true;
    // A machine of fixed figures, so that no count depends on the one the test runs on.
    form.machine.memoryBytes = std::uint64_t{1} << 30;
    form.machine.diskBytes = std::uint64_t{1} << 30;
    form.machine.threads = 2;
  }

  // Sets n and k the way the searches do: text and scroll bar.
  void setSize(int n, int k) {
    form.Text1[0].setText(std::to_string(n));
    form.VScroll1[0].setValue(n);
    form.Text1[1].setText(std::to_string(k));
    form.VScroll1[1].setValue(k);
  }

  // Writes the faces of die d (from 0), one text per face.
  void setDie(int d, const std::vector<std::string>& faces) {
    for (std::size_t f = 0; f < faces.size(); ++f) face(form, d, static_cast<int>(f)).setText(faces[f]);
  }

  // Writes the faces of every die as plain digits.
  void setDice(const std::vector<std::vector<int>>& dice) {
    for (std::size_t d = 0; d < dice.size(); ++d) {
      std::vector<std::string> texts;
      for (int value : dice[d]) texts.push_back(std::to_string(value));
      setDie(static_cast<int>(d), texts);
    }
  }

  std::vector<std::string> die(int d, int count) const {
    std::vector<std::string> texts;
    for (int f = 0; f < count; ++f) texts.push_back(face(form, d, f).text());
    return texts;
  }

  frmVarno form;
};

}  // namespace varno
