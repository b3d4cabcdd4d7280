// Readable listings of a title, for the dump tool and for tests.
#pragma once

#include <string>

#include "mv/query.h"

namespace mv {

class Title;

// Topics (number, ctx, address range, title, data), word wheels with entries and key
// addresses, stored lists and baggage sizes. UTF-8.
std::string DumpTitle(Title& title);
// "topics: ..." and one line per highlight: topic, addr, length and the characters hit.
std::string DumpQuery(Title& title, const Query& query);

}  // namespace mv
