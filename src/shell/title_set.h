// The titles and word wheels of the current disk, and the four handles other windows borrow.
// Other code never closes these handles; the set opens and closes them as a whole.
#pragma once

#include <array>

#include "mv/compat.h"

namespace lexo {

struct TitleSet {
  HMVTITLE mainTitle = 0;
  HMVWW indexWheel = 0;      // "|a" of the main title
  HMVWW mediaNameWheel = 0;  // "|g" of the main title
  HMVTITLE mediaTitle = 0;
  HMVWW mediaWheel = 0;  // "|s"
  std::array<HMVTITLE, 3> dictionaries{};
  std::array<HMVWW, 3> dictionaryWheels{};  // "|c"
  std::array<HMVTITLE, 3> alternativeDictionaries{};
  std::array<HMVWW, 3> alternativeDictionaryWheels{};
  HMVTITLE recordTitle = 0;
  HMVTITLE reducedTitle = 0;  // never opened here; its wheel only if the slot is filled
  HMVWW reducedWheel = 0;
};

struct CurrentTitles {
  HMVTITLE title = 0;
  HMVTITLE mediaTitle = 0;
  HMVWW indexWheel = 0;
  HMVWW mediaWheel = 0;
};

TitleSet& Titles();
CurrentTitles& Current();

// 1 at rest and after the reader cancels; the search sets it to 0 while a query runs.
int& SearchCancelFlag();

// Empties the message queue, then answers SearchCancelFlag (non-zero cancels a query).
int TitleYield();
// What TitleYield runs to empty the queue; the message loop installs it.
void SetMessagePump(void (*pump)());

// Closes the set, then opens every title of the disk (below 3) in table order.
void OpenTitleSet(int disk);
// Closes wheels before their titles; every handle is tested and cleared, so twice is harmless.
void CloseTitleSet();

}  // namespace lexo
