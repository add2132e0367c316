// "Verteilung der schwächsten Stelle": a window of its own that shows the rings of the size counted last
// per weakest link, as bars (on a logarithmic scale where the counts span many orders) and as exact
// numbers, with the bar of the ring in the window marked. It follows every change of the ring, looking at
// it only when the window mirrors the form.
#pragma once

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "form/form.h"

class QChart;
class QChartView;

namespace varno {

class SpectrumWindow : public QWidget {
 public:
  SpectrumWindow(const Form& form, QWidget* parent);
  // Shows the counts the form holds and marks the ring in the window, where either changed.
  void refresh();
  // Sizes the window to show the chart well, no larger than the screen, and places it with its top-right
  // corner at `topRight`, or as near to it as keeps it on the screen.
  void placeNear(QPoint topRight);

  QChart* chart() const;

 private:
  std::uint64_t ringRevision() const;
  void showCounts(const Form::LinkSpectrum& spectrum);
  void mark();

  const Form& form_;
  QChartView* view_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* note_ = nullptr;
  std::optional<Form::LinkSpectrum> shown_;
  std::uint64_t markedRevision_ = 0;
};

}  // namespace varno
