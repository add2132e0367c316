// A picture box that shows the text printed into it at its top-left corner. Assistive technology and
// tests read the printed text as the box's accessible name.
#pragma once

#include <QFrame>
#include <QString>

namespace varno {

class PrintBox : public QFrame {
 public:
  explicit PrintBox(QWidget* parent = nullptr);
  void setPrinted(const QString& text);
  QString printed() const { return printed_; }
  // The font the text is printed in: the box's, or smaller where the text would not fit the box.
  QFont printFont() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString printed_;
};

}  // namespace varno
