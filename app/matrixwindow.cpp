#include "matrixwindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "form/form.h"
#include "ring/matrix.h"
#include "ring/ring.h"

namespace varno {

namespace {

QLabel* label(QWidget* parent, const QString& name) {
  auto* shown = new QLabel(parent);
  shown->setObjectName(name);
  shown->setAlignment(Qt::AlignCenter);
  return shown;
}

// Labels shown in bold: the dice's names and the neighbours in the ring.
const char* const kBold = "varnoBold";

QFont boldIf(QFont font, bool bold) {
  font.setBold(bold);
  return font;
}

// The room a text needs in a font, with a little air around it.
QSize room(const QFont& font, const QString& text) {
  const QSize size = QFontMetrics(font).boundingRect(QRect(), Qt::AlignCenter, text).size();
  return size + QSize(8, 4);
}

}  // namespace

MatrixWindow::MatrixWindow(const Form& form, QWidget* parent) : QWidget(parent, Qt::Tool), form_(form) {
  setObjectName("frmMatrix");
  setWindowTitle("Gewinnmatrix");
  auto* grid = new QGridLayout;
  grid->setSpacing(2);
  for (int i = 0; i < kDice; ++i) {
    const QString die = QString("W%1").arg(i + 1);
    rowHeads_[i] = label(this, QString("lblMatrixRow(%1)").arg(i + 1));
    columnHeads_[i] = label(this, QString("lblMatrixColumn(%1)").arg(i + 1));
    for (QLabel* head : {rowHeads_[i], columnHeads_[i]}) {
      head->setText(die);
      head->setAccessibleName(die);
      head->setProperty(kBold, true);
    }
    grid->addWidget(rowHeads_[i], i + 1, 0);
    grid->addWidget(columnHeads_[i], 0, i + 1);
    for (int j = 0; j < kDice; ++j) {
      QLabel* cell = cells_[i][j] = label(this, QString("lblMatrix(%1,%2)").arg(i + 1).arg(j + 1));
      cell->setFrameStyle(QFrame::Box | QFrame::Plain);
      grid->addWidget(cell, i + 1, j + 1);
    }
  }
  legend_ = new QLabel(
      "Zeile gegen Spalte: gewonnene Paare und Wahrscheinlichkeit.\n"
      "Gelb: die Nachbarn im Ring (jeder Würfel gegen den nächsten).",
      this);
  legend_->setObjectName("lblMatrixLegend");
  order_ = label(this, "lblOrder");
  order_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // always as large as its table, texts and all
  layout->addLayout(grid);
  layout->addWidget(legend_);
  layout->addWidget(order_);
}

std::uint64_t MatrixWindow::ringRevision() const {
  std::uint64_t revision = form_.Text1[0].revision() + form_.Text1[1].revision();
  for (const Control& face : form_.txtAuge) revision += face.revision();
  return revision;
}

void MatrixWindow::refresh() {
  const std::uint64_t revision = ringRevision();
  if (revision == shown_) return;
  shown_ = revision;
  const Ring ring = readRing(form_);
  const WinMatrix matrix = winMatrix(ring);
  for (int i = 0; i < kDice; ++i) {
    rowHeads_[i]->setVisible(i < ring.n);
    columnHeads_[i]->setVisible(i < ring.n);
    for (int j = 0; j < kDice; ++j) {
      QLabel* cell = cells_[i][j];
      cell->setVisible(i < ring.n && j < ring.n);
      if (!cell->isVisibleTo(this)) continue;
      const QString text = QString::fromStdString(matrixCell(matrix, i, j));
      if (cell->text() != text) {
        cell->setText(text);
        cell->setAccessibleName(QString(text).replace('\n', ", "));
      }
      const bool neighbour = j == ring.next(i);
      const QString style = neighbour ? "background: rgb(255, 255, 160);" : "";
      if (cell->styleSheet() != style) cell->setStyleSheet(style);
      if (cell->property(kBold).toBool() != neighbour) {
        cell->setProperty(kBold, neighbour);
        cell->setFont(boldIf(font(), neighbour));
      }
    }
  }
  order_->setText(QString::fromStdString(orderSentence(matrix)));
  order_->setAccessibleName(order_->text());
  if (ring.n != fittedN_ || ring.k != fittedK_) {
    fittedN_ = ring.n;
    fittedK_ = ring.k;
    fit(ring.k);
  }
}

void MatrixWindow::fit(int k) {
  const QRect screen = (parentWidget() ? parentWidget()->screen() : this->screen())->availableGeometry();
  // The frame the desktop puts around the window, once it has shown it.
  const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
  // The longest texts a cell of k faces may hold: wins, a probability, ties.
  const QString widest = QString(" %1/ %1\n .984375\n%1 unentschieden").arg(k * k);
  QFont font = QApplication::font();
  for (int attempt = 0; attempt < 12; ++attempt) {
    setFont(font);
    for (QLabel* shown : findChildren<QLabel*>())
      shown->setFont(boldIf(font, shown->property(kBold).toBool()));
    const QSize cell = room(boldIf(font, true), widest).expandedTo(room(boldIf(font, true), "W8"));
    for (const auto& row : cells_)
      for (QLabel* shown : row) shown->setFixedSize(cell);
    order_->setFixedWidth(std::max(cell.width() * (fittedN_ + 1), room(font, legend_->text()).width()));
    layout()->activate();
    const QSize needed = layout()->totalSizeHint() + frame;
    if (needed.width() <= screen.width() && needed.height() <= screen.height()) break;
    const double shrink =
        std::min(double(screen.width()) / needed.width(), double(screen.height()) / needed.height());
    font.setPointSizeF(std::max(2.0, font.pointSizeF() * std::min(0.95, shrink)));
    if (font.pointSizeF() <= 2.0) break;
  }
  adjustSize();
  keepOnScreen();
}

void MatrixWindow::placeNear(QPoint topRight) {
  move(topRight.x() - frameGeometry().width(), topRight.y());
  keepOnScreen();
}

void MatrixWindow::keepOnScreen() {
  const QRect screen = (parentWidget() ? parentWidget()->screen() : this->screen())->availableGeometry();
  const QRect outer = frameGeometry();
  const QPoint corner(
      std::clamp(outer.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - outer.width())),
      std::clamp(outer.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - outer.height())));
  if (corner != outer.topLeft()) move(corner);
}

}  // namespace varno
