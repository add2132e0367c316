// Ring files: plain text of 66 lines ended by CR LF, the number of dice, the number of faces and the
// texts of all 64 face fields ("0" for an empty one). Saved with the extension ".vrf" (or ".sdk" where
// the user names the file so), loaded from ".vrf" files only.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace varno {

class Form;

constexpr int kRingFileLines = 66;

// The largest ring file that is read, and that is saved: 1 MiB. A ring file is 66 short lines, and only
// faces of very many digits make it long: typed with the pad one digit per key press, or pasted (a ring
// text is at most 64 KiB), so that a megabyte is sixteen times the longest pasted ring and more than any
// hand types; it is read in milliseconds. A ring whose file would be longer is not saved, so every file
// the program writes can be loaded again.
constexpr std::size_t kLargestRingFile = std::size_t{1} << 20;

// The content of the ring file for the current ring.
std::string ringFileText(const Form& form);

// The name a ring is saved under: the chosen name, with ".vrf" appended unless it already ends in ".vrf"
// or ".sdk" (compared exactly, letter case included).
std::string saveName(const std::string& chosen);

// A ring file that passed every check, its fields as they are to be set into the window.
struct RingFile {
  std::string dice, faces;  // the fields of Text1(0) and Text1(1)
  int n = 0, k = 0;         // their values for the scroll bars
  std::array<std::string, 64> faceTexts;
};

// Reads the content of a ring file. A file that is not one (too short, too long, not text, n or k out of
// range) is refused as a whole: `problem` then says why, in a sentence for the user.
std::optional<RingFile> parseRingFile(const std::string& content, std::string& problem);

// "speichern": asks for a file name and saves the ring; every failure, a cancelled dialog included, is
// reported with the message "Speichern abgebrochen!", as is a ring whose file would be larger than
// kLargestRingFile.
void cmdSpeichern_Click(Form& form);
// "laden": asks for a ".vrf" file and loads it into the window, then draws the graphic in full. A file
// that is not a ring file is refused with a message and changes nothing.
void cmdLaden_Click(Form& form);

// Loads the ring file at `path` into the window and draws the graphic in full, with the checks and
// messages of "laden" (a file not named ".vrf" is refused with a message, too); returns whether it did.
// Opening a file from the desktop, the command line or by dropping it comes here. Only a regular file is
// opened and read, never a pipe, a device or a folder (also not through a link), so that loading never
// waits for a writer nor reads without end; anything larger than kLargestRingFile is refused unread.
bool loadRingFile(Form& form, const std::string& path);

}  // namespace varno
