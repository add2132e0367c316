// A window model with evaluation enabled, its graphic set up and its dialogs scripted, and helpers to
// write and read whole dice.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/form.h"
#include "graphic/drawing.h"
#include "ring/dice.h"
#include "ring/ring.h"
#include "support/scripteddialogs.h"
#include "window/frmvarno.h"
#include "window/ringstate.h"

namespace varno {

// Readable failure messages.
inline void PrintTo(const RingState& state, std::ostream* out) {
  *out << state.dice << "x" << state.faces << ":";
  for (const std::string& text : state.faceTexts) *out << " \"" << text << "\"";
}

// A machine of fixed figures, so that no count depends on the one the test runs on.
inline void useFixedMachine(Form& form) {
  form.machine.memoryBytes = std::uint64_t{1} << 30;
  form.machine.diskBytes = std::uint64_t{1} << 30;
  form.machine.threads = 2;
}

// A ring file: the given first two lines, then the 64 faces in the file's order, "0" after those given.
inline std::string ringFile(const std::string& n, const std::string& k,
                            const std::vector<std::string>& faces = {}) {
  std::string text = n + "\r\n" + k + "\r\n";
  for (std::size_t i = 0; i < 64; ++i) text += (i < faces.size() ? faces[i] : "0") + "\r\n";
  return text;
}

class RingTest : public ::testing::Test {
 protected:
  RingTest() {
    form.Freigabe = true;
    useFixedMachine(form);
    GraphikEinrichten(form);
    form.dialogs = &dialogs;
  }

  // Sets n and k the way the searches do: text and scroll bar.
  void setSize(int n, int k) { setRingSize(form, n, k); }

  // The ring of three dice (3, 5, 7), (2, 4, 9), (1, 6, 8).
  void minimalRing() {
    setSize(3, 3);
    setDice({{3, 5, 7}, {2, 4, 9}, {1, 6, 8}});
  }

  // Writes the faces of die d (from 0), one text per face.
  void setDie(int d, const std::vector<std::string>& faces) {
    for (std::size_t f = 0; f < faces.size(); ++f) face(form, d, static_cast<int>(f)).setText(faces[f]);
  }

  // Writes the faces of every die as plain digits.
  void setDice(const std::vector<std::vector<int>>& dice) {
    for (std::size_t d = 0; d < dice.size(); ++d)
      for (std::size_t f = 0; f < dice[d].size(); ++f)
        face(form, static_cast<int>(d), static_cast<int>(f)).setText(std::to_string(dice[d][f]));
  }

  std::vector<std::string> die(int d, int count) const {
    std::vector<std::string> texts;
    for (int f = 0; f < count; ++f) texts.push_back(face(form, d, f).text());
    return texts;
  }

  // The values of the faces in use, die by die.
  std::vector<int> shownRing(int n, int k) const {
    std::vector<int> ring;
    for (int d = 0; d < n; ++d)
      for (int f = 0; f < k; ++f) ring.push_back(static_cast<int>(faceValue(form, d, f)));
    return ring;
  }

  // The messages shown since the last call, each as "prompt / title / style;".
  std::string messages() {
    std::string shown;
    for (const auto& message : dialogs.messages)
      shown += message.prompt + " / " + message.title + " / " + std::to_string(message.style) + ";";
    dialogs.messages.clear();
    return shown;
  }

  // No search runs: its notice and progress are gone, and commands and faces take input again.
  void expectIdle() const {
    EXPECT_TRUE(form.Freigabe);
    EXPECT_FALSE(form.Text4.visible() || form.searchRunning || form.prgFortschritt.visible());
    EXPECT_TRUE(form.cmdKombinatorik.enabled() && form.cmdSpectrum.enabled() && form.txtAuge[0].enabled());
  }

  ScriptedDialogs dialogs;
  frmVarno form;
};

}  // namespace varno
