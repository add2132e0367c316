// The dialogs of the window: Qt's message boxes, file dialog and print dialog, in German through Qt's
// translations.
#pragma once

#include <QWidget>

#include "form/dialogs.h"

namespace varno {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}
  int messageBox(const std::string& prompt, int style, const std::string& title) override;
  std::optional<std::string> fileDialog(bool save, const std::string& directory, const std::string& fileName,
                                        FileKind kind = FileKind::Ring) override;
  bool printDialog(Printer& printer) override;

 private:
  QWidget* parent_;
};

}  // namespace varno
