/* A stand-in history-list library for tests: it counts the calls it gets and keeps the last
   text it was given. */
#include <string.h>

int JrnlStubAdds, JrnlStubUndos, JrnlStubRedos, JrnlStubDeletes;
char JrnlStubLastText[300];

void AddItemDll(const char* text) {
  ++JrnlStubAdds;
  strncpy(JrnlStubLastText, text ? text : "", sizeof JrnlStubLastText - 1);
}
void UndoItemDll(void) {
  ++JrnlStubUndos;
}
void RedoItemDll(void) {
  ++JrnlStubRedos;
}
void DelItemDll(void) {
  ++JrnlStubDeletes;
}
void JrnlStubReset(void) {
  JrnlStubAdds = JrnlStubUndos = JrnlStubRedos = JrnlStubDeletes = 0;
  JrnlStubLastText[0] = 0;
}
