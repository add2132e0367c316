// Message boxes and file dialogs, behind an interface: the window shows Qt's, tests script the answers.
#pragma once

#include <optional>
#include <string>

namespace varno {

// Message box styles and results as the program uses them.
enum MessageStyle { kOkOnly = 0, kStopSign = 16, kQuestionYesNo = 36, kInformation = 64 };
enum MessageResult { kOk = 1, kYes = 6, kNo = 7 };

// What a file dialog asks for: a ring file, or a picture of the ring graphic.
enum class FileKind { Ring, Picture };

// The printer as the window's toolkit has it.
class Printer;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a modal message box; the lines of `prompt` are separated by CR LF. Returns kOk, kYes or kNo.
  virtual int messageBox(const std::string& prompt, int style, const std::string& title) = 0;
  // Shows a modal file dialog starting in `directory` with `fileName` preset; returns the chosen full
  // path, or nothing when the user cancels.
  virtual std::optional<std::string> fileDialog(bool save, const std::string& directory,
                                                const std::string& fileName,
                                                FileKind kind = FileKind::Ring) = 0;
  // Shows the modal print dialog, which sets `printer` up; returns false when the user cancels. Without a
  // toolkit there is no printer.
  virtual bool printDialog(Printer& /*printer*/) { return false; }
};

}  // namespace varno
