#include "shell/title_set.h"

#include <string>

#include "shell/folders.h"

namespace lexo {
namespace {

void (*gPump)() = nullptr;

void CloseWheel(HMVWW& wheel) {
  if (wheel) MVWordWheelClose(wheel);
  wheel = 0;
}

void CloseTitle(HMVTITLE& title) {
  if (title) MVTitleClose(title);
  title = 0;
}

HMVTITLE OpenWithYield(const std::string& name) {
  return hMVTitleOpenEx(OnDisk(name).c_str(), TitleYield, 0);
}

HMVWW OpenWheel(HMVTITLE title, const char* name) {
  return title ? hMVWordWheelOpenTitle(title, name) : 0;
}

}  // namespace

TitleSet& Titles() {
  static TitleSet set;
  return set;
}

CurrentTitles& Current() {
  static CurrentTitles current;
  return current;
}

int& SearchCancelFlag() {
  static int flag = 1;
  return flag;
}

void SetMessagePump(void (*pump)()) {
  gPump = pump;
}

int TitleYield() {
  if (gPump) gPump();
  return SearchCancelFlag();
}

void OpenTitleSet(int disk) {
  CloseTitleSet();
  TitleSet& set = Titles();
  if (disk < 3) {
    set.mainTitle = OpenWithYield("lexo.m14");
    set.indexWheel = OpenWheel(set.mainTitle, "|a");
    set.mediaNameWheel = OpenWheel(set.mainTitle, "|g");
    set.mediaTitle = hMVTitleOpen(OnDisk("Media.m14").c_str());
    set.mediaWheel = OpenWheel(set.mediaTitle, "|s");
    for (int i = 0; i < 3; ++i) {
      set.dictionaries[i] = OpenWithYield("Dic" + std::to_string(i + 1) + ".m14");
      set.dictionaryWheels[i] = OpenWheel(set.dictionaries[i], "|c");
    }
    for (int i = 0; i < 3; ++i) {
      set.alternativeDictionaries[i] = OpenWithYield("Dica" + std::to_string(i + 1) + ".m14");
      set.alternativeDictionaryWheels[i] = OpenWheel(set.alternativeDictionaries[i], "|c");
    }
    set.recordTitle = hMVTitleOpen(OnDisk("Rec.m14").c_str());
    set.reducedWheel = OpenWheel(set.reducedTitle, "|a");
  }
  Current() = {set.mainTitle, set.mediaTitle, set.indexWheel, set.mediaWheel};
}

void CloseTitleSet() {
  TitleSet& set = Titles();
  CloseWheel(set.indexWheel);
  CloseWheel(set.mediaWheel);
  CloseWheel(set.mediaNameWheel);
  CloseTitle(set.mainTitle);
  CloseTitle(set.mediaTitle);
  for (int i = 0; i < 3; ++i) {
    CloseWheel(set.dictionaryWheels[i]);
    CloseTitle(set.dictionaries[i]);
    CloseWheel(set.alternativeDictionaryWheels[i]);
    CloseTitle(set.alternativeDictionaries[i]);
  }
  CloseTitle(set.recordTitle);
  CloseWheel(set.reducedWheel);
  Current() = {};
}

}  // namespace lexo
