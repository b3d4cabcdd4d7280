// mvdump: prints a title for debugging.
//   mvdump TITLE                 topics with addresses, word wheels, lists and baggage
//   mvdump TITLE query TEXT [FLAGS [FIELDS [MORPH]]]   the hits and highlights of a query
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mv/dump.h"
#include "mv/text_fold.h"
#include "mv/title.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: mvdump TITLE [query TEXT [FLAGS [FIELDS [MORPH]]]]\n");
    return 2;
  }
  auto title = mv::Title::Open(argv[1]);
  if (!title) {
    std::fprintf(stderr, "%s: not a title\n", argv[1]);
    return 1;
  }
  if (argc >= 4 && std::string(argv[2]) == "query") {
    mv::Query query;
    query.text = mv::ToCp1251(argv[3]);
    query.anyWord = argc > 4 && std::atoi(argv[4]) & 1;
    query.fields = argc > 5 ? static_cast<std::uint32_t>(std::atoi(argv[5])) : 0;
    query.morph = argc > 6 && std::atoi(argv[6]) != 0;
    std::fputs(mv::DumpQuery(*title, query).c_str(), stdout);
    return 0;
  }
  std::fputs(mv::DumpTitle(*title).c_str(), stdout);
  return 0;
}
