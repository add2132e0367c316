// "Gewinnmatrix": a window of its own beside the main window, showing how often every die beats every
// other, the neighbour pairs of the ring marked, and the strongest order of the dice as a ring. It follows
// every change of the faces, of n and of k, looking at the ring only when the window mirrors the form.
#pragma once

#include <QLabel>
#include <QWidget>
#include <array>
#include <cstdint>

namespace varno {

class Form;

class MatrixWindow : public QWidget {
 public:
  MatrixWindow(const Form& form, QWidget* parent);
  // Shows the ring as the fields hold it, if it changed since the last time.
  void refresh();

 private:
  std::uint64_t ringRevision() const;

  const Form& form_;
  std::array<QLabel*, 8> rowHeads_{}, columnHeads_{};
  std::array<std::array<QLabel*, 8>, 8> cells_{};
  QLabel* order_ = nullptr;
  std::uint64_t shown_ = 0;
};

}  // namespace varno
