// The full-text query language and its translation into the index's match expression.
//
//   query := or
//   or    := and ("OR" and)*
//   and   := near ( ["AND"] near | "NOT" near )*     juxtaposition takes the default operator
//   near  := unit ("NEAR" unit)*                      all units within 10 words of each other
//   unit  := word | word "*" | '"' word+ '"' | "(" or ")"
//
// Operators are upper-case Latin words; everything else is a search term.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mv/types.h"

namespace mv {

struct Query {
  std::string text;          // cp1251
  bool anyWord = false;      // default operator OR (else AND)
  std::uint32_t fields = 0;  // 1 body, 2 heading, 3 or 0 both
  bool morph = false;        // terms match every word form with the same index key
};

struct TranslatedQuery {
  std::string match;  // empty: the query has no terms
  struct NearGroup {
    int firstPhrase = 0;
    int count = 0;
  };
  std::vector<NearGroup> nearGroups;
  int phrases = 0;
};

inline constexpr int kNearDistance = 10;

std::optional<TranslatedQuery> TranslateQuery(const Query& query, QueryError* error);

}  // namespace mv
