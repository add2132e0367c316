#include "window/information.h"

#include <initializer_list>

#include "form/form.h"

namespace varno {

namespace {

// Every line ends with CR LF, the last one too unless `lastBreak` is false.
std::string lines(std::initializer_list<const char*> texts, bool lastBreak = true) {
  std::string prompt;
  for (const char* text : texts) prompt += std::string(text) + "\r\n";
  if (!lastBreak) prompt.resize(prompt.size() - 2);
  return prompt;
}

}  // namespace

void welcomeStep(Form& form) {
  if (!form.Begrüßung) return;
  if (form.dialogs) form.dialogs->messageBox(welcomeText(), kInformation, "Willkommen");
  form.Begrüßung = false;
  form.picEingabe.setVisible(true);
}

std::string informationText() {
  return "dem Varno-Team, 2026";
}

std::string algorithmText() {
  return lines({
      "Die Würfelseiten werden mit den Zufallszahlen von",
      "1 bis Würfelanzahl*Seitenzahl belegt.",
      "",
      "Da es nur auf die Rangfolge der Zahlen ankommt,",
      "ist das keine Einschränkung.",
      "(Gleiche Augenzahlen auf 2 Würfeln können die",
      " Gewinnwahrscheinlichkeiten nur verkleinern)",
      "",
      "Für jeden Würfel werden die Augenzahlen in sor-",
      "tierter Reihenfolge angegeben.",
      "",
      "Eine Programmschleife erzeugt solange Zufallsbele-",
      "gungen, bis ein Varno-Würfel-Ring entstanden ist.",
      "",
      "Die nötigen Schleifendurchläufe werden gezählt und ",
      "oben rechts angezeigt.",
      "Der Zähler arbeitet kumulativ und kann per Hand  ",
      "genullt werden. (Befehlsschaltfläche rechts daneben)",
      "",
  });
}

std::string countingText() {
  return lines(
      {
          "Nur die Varnoringe 'rechtsrum' werden gezählt.",
          "(die anderen ergeben sich durch Spiegelung)",
          "",
          "Die '1' befindet sich stehts auf Würfel 1.",
          "(Das ist keine Einschränkung, da man 'drehen' kann.)",
          "",
          "Der Algorithmus berücksichtigt alle Beschriftungen",
          "der Würfelseiten mit den Augenzahlen von ",
          "1 bis Würfelanzahl*Seitenzahl.",
          "",
          "Die Würfelseiten sind aufsteigend beschriftet.",
          "(um Äquivalentes nicht mehrfach zu zählen)",
          "",
          "Ein Würfel-Ring aus n Würfeln mit je k Seiten wird folg-",
          "lich als n-Tupel aus k-elementigen Mengen betrachtet.",
          "",
          "Mehrfachzählungen nicht wesentlich verschiedener Würfel-",
          "Ringe werden also vermieden.",
          "",
          "Die Anzahl aller solcher Beschriftungsmöglichkeiten",
          "wird im Feld Zähler.. oben rechts angezeigt.",
          "",
          "Die Rechenzeit wächst exponentiell mit n.",
          "Daher erst mit n=3 experimentieren!",
          "Die Schleife kann durch Klick auf das Stopschild",
          "oben rechts abgebrochen werden.",
      },
      false);
}

std::string welcomeText() {
  return lines({
      "Dieser (3,3)-Varno-Würfel-Ring wurde mit Hilfe der",
      "Monte-Carlo-Methode gefunden.",
      "",
      "In der Menüleiste finden Sie diese und weitere",
      "Möglichkeiten.",
      "",
      "Durch Klick auf die Würfelfelder können die Würfel",
      "aber auch einfach 'per Hand' beschriftet werden.",
  });
}

void cmdInfo_Click(Form& form) {
  if (form.dialogs) form.dialogs->messageBox(informationText(), kOkOnly, "Programmiert von");
}

void cmdInfoAlg_Click(Form& form) {
  if (form.dialogs) form.dialogs->messageBox(algorithmText(), kInformation, "Zur Monte-Carlo-Methode:");
}

void cmdInfoZähl_Click(Form& form) {
  if (form.dialogs) form.dialogs->messageBox(countingText(), kInformation, "Zur Äquivalenzklassenbildung:");
}

void Form_MouseMove(Form& form) {
  welcomeStep(form);
}

void frame1_MouseMove(Form& form) {
  welcomeStep(form);
}

void cmdBeenden_Click(Form& form) {
  if (form.endProgram) form.endProgram();
}

}  // namespace varno
