#include <cstdio>

// The viewer's windows arrive with the window manager; until then the program says so.
int main() {
  std::puts("lexoview: the viewer is not built yet; ./lexo test runs what exists.");
  return 0;
}
