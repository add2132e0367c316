#include "weakestlinkwindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLogValueAxis>
#include <QScreen>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "convert.h"
#include "window/weakestlinks.h"

namespace varno {

namespace {

// Counts that span at least this factor are shown on a logarithmic scale: on a linear one, a bar of
// less than a hundredth of the tallest would be a line of a pixel or two.
constexpr double kLogarithmicSpan = 100;

const QColor kBar(70, 110, 180);
const QSize kPreferredSize(780, 440);
const QColor kMarked(220, 40, 40);

}  // namespace

SpectrumWindow::SpectrumWindow(const Form& form, QWidget* parent) : QWidget(parent, Qt::Window), form_(form) {
  setObjectName("frmSpectrum");
  setWindowTitle("Verteilung der schwächsten Stelle");
  view_ = new QChartView(new QChart, this);
  view_->setObjectName("chtSpectrum");
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumSize(240, 180);
  view_->chart()->legend()->hide();
  table_ = new QTableWidget(0, 2, this);
  table_->setObjectName("tblSpectrum");
  table_->setHorizontalHeaderLabels({"schwächste Stelle", "Ringe"});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  note_ = new QLabel(this);
  note_->setObjectName("lblSpectrumNote");
  note_->setWordWrap(true);
  auto* top = new QHBoxLayout;
  top->addWidget(view_, 1);
  top->addWidget(table_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(note_);
}

QChart* SpectrumWindow::chart() const {
  return view_->chart();
}

std::uint64_t SpectrumWindow::ringRevision() const {
  std::uint64_t revision = form_.Text1[0].revision() + form_.Text1[1].revision();
  for (const Control& face : form_.txtAuge) revision += face.revision();
  return revision;
}

void SpectrumWindow::refresh() {
  if (!form_.spectrum) return;
  const bool changed = !shown_ || *shown_ != *form_.spectrum;
  if (changed) showCounts(*form_.spectrum);
  if (changed || ringRevision() != markedRevision_) mark();
}

void SpectrumWindow::showCounts(const Form::LinkSpectrum& spectrum) {
  shown_ = spectrum;
  QChart* chart = view_->chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  const int square = spectrum.k * spectrum.k;
  auto* bars = new QBarSet("Ringe");
  bars->setColor(kBar);
  bars->setSelectedColor(kMarked);
  QStringList links;
  double least = 0, most = 0;
  table_->setRowCount(static_cast<int>(spectrum.rings.size()));
  for (std::size_t i = 0; i < spectrum.rings.size(); ++i) {
    const int link = spectrum.leastLink + static_cast<int>(i);
    const double rings = QString::fromStdString(spectrum.rings[i]).toDouble();
    bars->append(rings);
    links << QString::number(link);
    if (rings > 0) least = least == 0 ? rings : std::min(least, rings);
    most = std::max(most, rings);
    const int row = static_cast<int>(i);
    table_->setItem(row, 0, new QTableWidgetItem(QString("%1 / %2").arg(link).arg(square)));
    auto* count = new QTableWidgetItem(toQString(spectrum.rings[i]));
    count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setItem(row, 1, count);
  }
  auto* series = new QBarSeries;
  series->setObjectName("serSpectrum");
  series->append(bars);
  series->setBarWidth(0.7);
  chart->addSeries(series);
  chart->setTitle(QString("Ringe aus %1 Würfeln mit je %2 Seiten nach ihrer schwächsten Stelle")
                      .arg(spectrum.n)
                      .arg(spectrum.k));
  auto* categories = new QBarCategoryAxis;
  categories->append(links);
  categories->setTitleText(QString("schwächste Stelle: gewonnene Paare von %1").arg(square));
  chart->addAxis(categories, Qt::AlignBottom);
  series->attachAxis(categories);
  QAbstractAxis* values = nullptr;
  if (least > 0 && most / least >= kLogarithmicSpan) {
    auto* logarithmic = new QLogValueAxis;
    logarithmic->setObjectName("axsLogarithmic");
    logarithmic->setBase(10);
    logarithmic->setLabelFormat("%.0e");
    // Whole powers of ten at both ends, so that every bar stands on the axis.
    logarithmic->setRange(std::pow(10, std::floor(std::log10(least)) - 1),
                          std::pow(10, std::ceil(std::log10(most))));
    logarithmic->setTitleText("Anzahl der Ringe (logarithmisch)");
    values = logarithmic;
  } else {
    auto* linear = new QValueAxis;
    linear->setObjectName("axsLinear");
    linear->setRange(0, most);
    linear->applyNiceNumbers();
    linear->setLabelFormat("%.0f");
    linear->setTitleText("Anzahl der Ringe");
    values = linear;
  }
  chart->addAxis(values, Qt::AlignLeft);
  series->attachAxis(values);
  table_->resizeColumnsToContents();
  table_->setFixedWidth(table_->horizontalHeader()->length() + 2 * table_->frameWidth() + 4);
}

void SpectrumWindow::mark() {
  markedRevision_ = ringRevision();
  const SpectrumMark marked = spectrumMark(form_);
  note_->setText(toQString(marked.note));
  const auto series = view_->chart()->series();
  if (series.isEmpty()) return;
  QBarSet* bars = static_cast<QBarSeries*>(series.front())->barSets().front();
  bars->deselectAllBars();
  for (int row = 0; row < table_->rowCount(); ++row) {
    for (int column = 0; column < 2; ++column) table_->item(row, column)->setBackground(QBrush());
  }
  if (!marked.link) return;
  const int index = *marked.link - shown_->leastLink;
  if (index < 0 || index >= bars->count()) return;
  bars->selectBar(index);
  for (int column = 0; column < 2; ++column)
    table_->item(index, column)->setBackground(QColor(255, 210, 210));
}

void SpectrumWindow::placeNear(QPoint topRight) {
  const QRect screen = (parentWidget() ? parentWidget()->screen() : this->screen())->availableGeometry();
  // As large as the chart reads well, on the smallest screens as large as the screen.
  const QSize frame = frameGeometry().size() - size();
  resize(kPreferredSize.boundedTo(screen.size() - frame).expandedTo(minimumSizeHint()));
  const QSize outer = size() + frame;
  move(std::clamp(topRight.x() - outer.width(), screen.left(),
                  std::max(screen.left(), screen.right() + 1 - outer.width())),
       std::clamp(topRight.y(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - outer.height())));
}

}  // namespace varno
