#include "matrixwindow.h"

#include <QGridLayout>
#include <QVBoxLayout>

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
      head->setStyleSheet("font-weight: bold;");
    }
    grid->addWidget(rowHeads_[i], i + 1, 0);
    grid->addWidget(columnHeads_[i], 0, i + 1);
    for (int j = 0; j < kDice; ++j) {
      QLabel* cell = cells_[i][j] = label(this, QString("lblMatrix(%1,%2)").arg(i + 1).arg(j + 1));
      cell->setFrameStyle(QFrame::Box | QFrame::Plain);
      cell->setMinimumSize(72, 48);
      grid->addWidget(cell, i + 1, j + 1);
    }
  }
  auto* legend = new QLabel(
      "Zeile gegen Spalte: gewonnene Paare und Wahrscheinlichkeit.\n"
      "Gelb: die Nachbarn im Ring (jeder Würfel gegen den nächsten).",
      this);
  legend->setObjectName("lblMatrixLegend");
  order_ = label(this, "lblOrder");
  order_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(legend);
  layout->addWidget(order_);
  layout->addStretch();
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
      const QString style = j == ring.next(i) ? "background: rgb(255, 255, 160); font-weight: bold;" : "";
      if (cell->styleSheet() != style) cell->setStyleSheet(style);
    }
  }
  order_->setText(QString::fromStdString(orderSentence(matrix)));
  order_->setAccessibleName(order_->text());
  adjustSize();
}

}  // namespace varno
