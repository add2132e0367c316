// The window frmVarno as the program's logic sees it: all its controls with their properties, and the
// form-level values. The ring itself has no storage of its own: n and k are the texts of Text1(0) and
// Text1(1), every face is the text of one of the 64 fields txtAuge(8 * die + face), and every result is
// the text of a display field. Change handlers are wired to the controls and run inside the writes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "form/control.h"
#include "form/dialogs.h"
#include "form/random.h"
#include "form/surface.h"
#include "form/yielder.h"
#include "rules/ringrules.h"

namespace varno {

constexpr int kDice = kMaxDice;    // die frames in the window
constexpr int kFaces = kMaxFaces;  // face fields per die
constexpr int kMarkers = 101;

// The window caption.
inline constexpr const char* kWindowCaption = "(n,k)-Varno-Würfel-Ringe";

class Form {
 public:
  Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Every control, containers before their children, in the order the view creates them.
  const std::vector<Control*>& controls() const { return all_; }
  // Counts every property change of every control; unchanged means nothing to mirror.
  std::uint64_t changes() const { return changes_; }

 private:
  std::uint64_t changes_ = 0;
  std::vector<Control*> all_;

  Control make(ControlKind kind, std::string name, Control* container);
  std::vector<Control> array(ControlKind kind, const std::string& name, int count, Control* container);
  void add(Control& control) { all_.push_back(&control); }
  void add(std::vector<Control>& controls) {
    for (Control& control : controls) all_.push_back(&control);
  }

 public:
  // Menus.
  Control cmdDatei = make(ControlKind::Menu, "cmdDatei", nullptr);
  Control cmdSpeichern = make(ControlKind::MenuItem, "cmdSpeichern", &cmdDatei);
  Control cmdLaden = make(ControlKind::MenuItem, "cmdLaden", &cmdDatei);
  Control cmdBeenden = make(ControlKind::MenuItem, "cmdBeenden", &cmdDatei);
  Control cmdBeispiele = make(ControlKind::Menu, "cmdBeispiele", nullptr);
  Control cmdVarno = make(ControlKind::MenuItem, "cmdVarno", &cmdBeispiele);
  Control cmdMini = make(ControlKind::MenuItem, "cmdMini", &cmdBeispiele);
  Control cmdZyklisch = make(ControlKind::MenuItem, "cmdZyklisch", &cmdBeispiele);
  Control cmdMaxMin = make(ControlKind::MenuItem, "cmdMaxMin", &cmdBeispiele);
  Control cmdZufall = make(ControlKind::Menu, "cmdZufall", nullptr);
  Control cmdMonteCarlo = make(ControlKind::Menu, "cmdMonteCarlo", nullptr);
  Control cmd3x3 = make(ControlKind::MenuItem, "cmd3x3", &cmdMonteCarlo);
  Control cmd3x4 = make(ControlKind::MenuItem, "cmd3x4", &cmdMonteCarlo);
  Control cmd3x5 = make(ControlKind::MenuItem, "cmd3x5", &cmdMonteCarlo);
  Control cmd3x6 = make(ControlKind::MenuItem, "cmd3x6", &cmdMonteCarlo);
  Control cmd4x3 = make(ControlKind::MenuItem, "cmd4x3", &cmdMonteCarlo);
  Control cmd4x4 = make(ControlKind::MenuItem, "cmd4x4", &cmdMonteCarlo);
  Control cmdInfoAlg = make(ControlKind::MenuItem, "cmdInfoAlg", &cmdMonteCarlo);
  Control cmdKombinatorik = make(ControlKind::Menu, "cmdKombinatorik", nullptr);
  Control cmdBelzähl = make(ControlKind::MenuItem, "cmdBelzähl", &cmdKombinatorik);
  Control cmdZZ = make(ControlKind::MenuItem, "cmdZZ", &cmdKombinatorik);
  Control cmdInfoZähl = make(ControlKind::MenuItem, "cmdInfoZähl", &cmdKombinatorik);
  Control cmdInfo = make(ControlKind::Menu, "cmdInfo", nullptr);
  // Additions to the right of "Information": the win matrix, the strongest ring, the rings of every
  // weakest link, exporting and printing the graphic, the ring on the clipboard.
  Control cmdExtras = make(ControlKind::Menu, "cmdExtras", nullptr);
  Control cmdMatrix = make(ControlKind::MenuItem, "cmdMatrix", &cmdExtras);
  Control cmdStrongest = make(ControlKind::MenuItem, "cmdStrongest", &cmdExtras);
  Control cmdSpectrum = make(ControlKind::MenuItem, "cmdSpectrum", &cmdExtras);
  Control cmdExport = make(ControlKind::MenuItem, "cmdExport", &cmdExtras);
  Control cmdPrint = make(ControlKind::MenuItem, "cmdPrint", &cmdExtras);
  Control cmdCopy = make(ControlKind::MenuItem, "cmdCopy", &cmdExtras);
  Control cmdPaste = make(ControlKind::MenuItem, "cmdPaste", &cmdExtras);
  // Undo and redo of the changes of the ring, and the manual.
  Control cmdUndo = make(ControlKind::MenuItem, "cmdUndo", &cmdExtras);
  Control cmdRedo = make(ControlKind::MenuItem, "cmdRedo", &cmdExtras);
  Control cmdHelp = make(ControlKind::MenuItem, "cmdHelp", &cmdExtras);

  // Parameter frame: n and k.
  Control Frame2 = make(ControlKind::Frame, "Frame2", nullptr);
  std::vector<Control> Label2 = array(ControlKind::Label, "Label2", 2, &Frame2);
  std::vector<Control> Text1 = array(ControlKind::TextBox, "Text1", 2, &Frame2);
  std::vector<Control> VScroll1 = array(ControlKind::ScrollBar, "VScroll1", 2, &Frame2);

  // Result frame: verdict, Max(P), Min(P), the counters.
  Control Frame3 = make(ControlKind::Frame, "Frame3", nullptr);
  // Picture boxes that are printed into: 0 the box behind the verdict, 1 "Max(P)" (the most wins of a
  // pair), 2 "Min(P)" (the fewest), 3 the "maxmin" box (the best weakest link of a count, tooltip
  // "Max. für schwächste Stelle").
  std::vector<Control> Picture1 = array(ControlKind::PictureBox, "Picture1", 4, &Frame3);
  std::vector<Control> Label5 = array(ControlKind::Label, "Label5", 3, &Frame3);
  Control txtRückmeldung = make(ControlKind::TextBox, "txtRückmeldung", &Frame3);
  Control cmdSpiegeln = make(ControlKind::Button, "cmdSpiegeln", &Frame3);  // "umdrehen"
  // Label6 has the elements 0 and 2 only; element 1 is never shown.
  std::vector<Control> Label6 = array(ControlKind::Label, "Label6", 3, &Frame3);
  // The counters: 0 "Gesamt" (labellings dealt or examined), 1 "Treffer" (rings found).
  std::vector<Control> Text3 = array(ControlKind::TextBox, "Text3", 2, &Frame3);
  // 'Zähler auf "0" setzen', the small "x" beside the counters.
  Control Command9 = make(ControlKind::Button, "Command9", &Frame3);

  // Busy notice and stop button.
  Control Text4 = make(ControlKind::TextBox, "Text4", nullptr);     // "Rechnung läuft!"
  Control cmdStop = make(ControlKind::Button, "cmdStop", nullptr);  // the stop sign
  // While all labellings are counted: the share of the work done (0..1000) and the time still needed.
  Control prgFortschritt = make(ControlKind::ProgressBar, "prgFortschritt", nullptr);
  Control lblRestzeit = make(ControlKind::Label, "lblRestzeit", nullptr);

  // The ring table.
  Control frame1 = make(ControlKind::Frame, "frame1", nullptr);
  std::vector<Control> Label1 = array(ControlKind::Label, "Label1", 4, &frame1);
  std::vector<Control> Text2 = array(ControlKind::TextBox, "Text2", kDice, &frame1);
  std::vector<Control> txtPGewinn = array(ControlKind::TextBox, "txtPGewinn", 2 * kDice, &frame1);
  std::vector<Control> frmWürfel = array(ControlKind::Frame, "frmWürfel", kDice, &frame1);
  std::vector<Control> txtSumme;
  std::vector<Control> cmdLösch;
  std::vector<Control> txtAuge;
  Control Command1 = make(ControlKind::Button, "Command1", &frame1);  // "X": "leeres Set"

  // The drawing surface with its markers and controls.
  Control picAusgabe = make(ControlKind::PictureBox, "picAusgabe", &frame1);
  std::vector<Control> shpkreis = array(ControlKind::Image, "shpkreis", kMarkers, &picAusgabe);
  Control txtBeschriftung = make(ControlKind::TextBox, "txtBeschriftung", &picAusgabe);
  Control hscBogen = make(ControlKind::ScrollBar, "hscBogen", &picAusgabe);
  Control Label3 = make(ControlKind::Label, "Label3", &picAusgabe);
  std::vector<Control> cmdZeigen;  // element 0 on the drawing surface, element 1 on the pad

  // The labelling pad.
  Control picEingabe = make(ControlKind::PictureBox, "picEingabe", nullptr);
  Control picEingabealt = make(ControlKind::PictureBox, "picEingabealt", &picEingabe);
  Control Command4 = make(ControlKind::Button, "Command4", &picEingabealt);  // "X": hides the pad
  Control picEin2 = make(ControlKind::PictureBox, "picEin2", &picEingabealt);
  Control Label4 = make(ControlKind::Label, "Label4", &picEin2);
  Control picEingabeinnen = make(ControlKind::PictureBox, "picEingabeinnen", &picEin2);
  std::vector<Control> cmdZahl = array(ControlKind::Button, "cmdZahl", 10, &picEingabeinnen);  // digit keys
  Control Command3 =
      make(ControlKind::Button, "Command3", &picEingabeinnen);  // undo: "letzte Ziffer löschen"
  // The pad's arrow keys.
  Control Command5 = make(ControlKind::Button, "Command5", &picEin2);  // arrow down: next face
  Control Command6 = make(ControlKind::Button, "Command6", &picEin2);  // arrow up: previous face
  Control Command7 = make(ControlKind::Button, "Command7", &picEin2);  // arrow right: next die
  Control Command8 = make(ControlKind::Button, "Command8", &picEin2);  // arrow left: previous die
  // The pad's entry buffer: a locked text field that is never shown.
  Control txtEintrag = make(ControlKind::TextBox, "txtEintrag", nullptr);

  // What is drawn on picAusgabe, in its user coordinates.
  Surface ausgabe;

  // Form-level values.
  bool Freigabe = false;     // face changes are evaluated and the face editors work
  bool Abbruch = false;      // the stop button was pressed
  bool Begrüßung = false;    // the welcome box is still to be shown
  bool busyPointer = false;  // the window shows the busy mouse pointer
  // A random labelling is being dealt: its pass counts on the faces it has not filled yet, so the window
  // ignores every input that would write a face until the labelling is complete.
  bool dealing = false;
  // A Monte Carlo search or an enumeration runs (also after its stop button was pressed, until it has
  // ended): the window ignores commands that would start another one or replace the ring.
  bool searchRunning = false;
  short MCWürfelanzahl = 0;  // n and k of the next Monte Carlo run
  int MCSeitenzahl = 0;
  // The face selected for labelling, 8 * die + face; empty until the first selection.
  std::optional<int> Feldnummer;
  // The positions (left, top in twips) the labelling pad still passes on its glide.
  std::vector<std::pair<double, double>> padGlide;
  std::size_t padGlideNext = 0;
  // The file dialog's file name, kept between showings: the name last chosen or preset.
  std::string dialogFileName;
  // The enumeration: "alle zählen" or "zz" (count and show), and the best weakest link of the rings
  // found in the current or last enumeration.
  std::string Zählmodus;
  int BestesMinimum = 0;
  // "Verteilung der schwächsten Stelle": the rings "rechtsrum" with the 1 on die 1 of the size counted
  // last, per weakest link (rings[i], in decimal digits, have the weakest link leastLink + i, up to the
  // best), and the view's window that shows them.
  struct LinkSpectrum {
    int n = 0;
    int k = 0;
    int leastLink = 0;
    std::vector<std::string> rings;
    bool operator==(const LinkSpectrum&) const = default;
  };
  std::optional<LinkSpectrum> spectrum;
  std::function<void()> showSpectrum;

  // What counting all labellings may use of this machine; zero means what the machine has (free memory
  // and disk, every core, the speed of a typical machine, in the counter's units of work per second and
  // thread). Tests set them, so that nothing they check depends on the machine they run on. A count
  // that does not fit in memory writes into a folder of its own, made in `workDirectory` (empty: the
  // system's temporary folder) and removed afterwards.
  struct CountingMachine {
    std::uint64_t memoryBytes = 0;
    std::uint64_t diskBytes = 0;
    unsigned threads = 0;
    double workPerSecond = 0;
    std::string workDirectory;
  } machine;

  Random random;
  Yielder DoEvents;
  Dialogs* dialogs = nullptr;
  // Ends the program at once ("beenden").
  std::function<void()> endProgram;
};

}  // namespace varno
