// Dialogs that answer as a test scripts them and record what was asked, so nothing modal blocks a test.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "form/dialogs.h"

namespace varno {

class ScriptedDialogs : public Dialogs {
 public:
  struct Message {
    std::string prompt;
    int style;
    std::string title;
  };

  int messageBox(const std::string& prompt, int style, const std::string& title) override {
    messages.push_back({prompt, style, title});
    if (whileAsking) whileAsking();
    if (answers.empty()) return style == kQuestionYesNo ? kYes : kOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::optional<std::string> fileDialog(bool save, const std::string& directory, const std::string& fileName,
                                        FileKind kind = FileKind::Ring) override {
    files.push_back({save, directory, fileName, kind});
    if (chosen.empty()) return std::nullopt;
    std::optional<std::string> answer = chosen.front();
    chosen.pop_front();
    return answer;
  }

  bool printDialog(Printer& printer) override {
    ++printDialogs;
    return printing && printing(printer);
  }

  struct FileRequest {
    bool save;
    std::string directory, fileName;
    FileKind kind;
  };

  std::vector<Message> messages;
  std::deque<int> answers;            // kYes or kNo for questions, in order
  std::function<void()> whileAsking;  // what the user does while a message is on show
  std::vector<FileRequest> files;
  std::deque<std::optional<std::string>> chosen;  // the files "chosen" in the dialogs, in order
  int printDialogs = 0;                           // how often the print dialog was shown
  std::function<bool(Printer&)> printing;         // what the user chooses there; cancels without it
};

}  // namespace varno
