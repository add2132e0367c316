// "Gewinnmatrix": a window of its own beside the main window, showing how often every die beats every
// other, the neighbour pairs of the ring marked, and the strongest order of the dice as a ring. It follows
// every change of the faces, of n and of k, looking at the ring only when the window mirrors the form;
// a change of n or k sizes it anew to its table, and it always stands whole on its screen, its texts made
// smaller where the screen is too small for them.
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
  // Places the window with its top-right corner at `topRight`, or as near to it as keeps it on the screen.
  void placeNear(QPoint topRight);

 private:
  std::uint64_t ringRevision() const;
  // Sizes the cells for the longest texts of k faces and the window to its table, in the largest font up
  // to the program's that lets the window stand whole on its screen.
  void fit(int k);
  // Moves the window onto its screen where it reaches beyond it.
  void keepOnScreen();

  const Form& form_;
  std::array<QLabel*, 8> rowHeads_{}, columnHeads_{};
  std::array<std::array<QLabel*, 8>, 8> cells_{};
  QLabel* legend_ = nullptr;
  QLabel* order_ = nullptr;
  std::uint64_t shown_ = 0;
  int fittedN_ = 0, fittedK_ = 0;
};

}  // namespace varno
