#include "window/strongest.h"

#include <atomic>

#include "counting/strongestring.h"
#include "form/form.h"
#include "form/numbertext.h"
#include "graphic/drawing.h"
#include "ring/evaluation.h"
#include "ring/ring.h"
#include "window/busy.h"
#include "window/enumeration.h"
#include "window/yielding.h"

namespace varno {

namespace {

std::string sizeText(int n, int k) {
  return plainDigits(n) + " Würfeln mit je " + facesText(k);
}

}  // namespace

void cmdStrongest_Click(Form& form) {
  const int n = Würfelanzahl(form), k = Seitenzahl(form);
  RechnungBeginn(form);
  form.searchRunning = true;
  form.Abbruch = false;

  // The search runs on a thread of its own; the window answers, and the stop button ends it.
  std::atomic<bool> stop{false};
  const StrongestRing::Result result = whileYielding(
      form, [n, k, &stop] { return StrongestRing(n, k).find([&stop] { return stop.load(); }); }, &stop);

  if (result.outcome == StrongestRing::Outcome::Found) {
    form.Freigabe = false;
    for (int d = 0; d < n; ++d)
      for (int f = 0; f < k; ++f) face(form, d, f).setText(plainDigits(result.ring[d * k + f]));
    form.Freigabe = true;
    RingAuswerten(form);  // once, for the whole ring
    form.BestesMinimum = result.link;
    form.Picture1[3].setText(numberFormat(result.link) + " /" + numberFormat(k * k));
    ZeichneGerüst(form);
    ZeichneBögen(form);
    ZeichneGewinnfelder(form);
  }
  form.searchRunning = false;
  RechnungEnde(form);
  if (!form.dialogs) return;
  // The message stands beside the ring as the window shows it: written, drawn and no longer busy.
  form.DoEvents.now();
  if (result.outcome == StrongestRing::Outcome::Found) {
    form.dialogs->messageBox("Kein Ring aus " + sizeText(n, k) + " hat eine stärkere schwächste Stelle:\r\n" +
                                 "sie gewinnt " + plainDigits(result.link) + " von " + plainDigits(k * k) +
                                 " Paaren.",
                             kInformation, "Stärkster Ring");
  } else if (result.outcome == StrongestRing::Outcome::None) {
    form.dialogs->messageBox("Aus " + sizeText(n, k) + " gibt es keinen Varno-Ring.", kInformation,
                             "Stärkster Ring");
  }
}

}  // namespace varno
