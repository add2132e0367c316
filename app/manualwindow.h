// "Handbuch": the manual of the whole program in a window of its own, read from the program's resources,
// with a table of contents whose entries jump to their sections.
#pragma once

#include <QTextBrowser>
#include <QWidget>

namespace varno {

class ManualWindow : public QWidget {
 public:
  explicit ManualWindow(QWidget* parent);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace varno
