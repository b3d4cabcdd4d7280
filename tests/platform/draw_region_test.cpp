#include <gtest/gtest.h>

#include <vector>

#include "plat/region.h"

namespace plat {
namespace {

// Point-by-point truth over a small window, so that the rectangle split never matters.
std::vector<bool> Coverage(const Region& region) {
  std::vector<bool> out;
  for (int y = -2; y < 22; ++y) {
    for (int x = -2; x < 22; ++x) out.push_back(region.Contains({x, y}));
  }
  return out;
}

bool Disjoint(const Region& region) {
  const auto& rects = region.Rects();
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (rects[i].IsEmpty()) return false;
    for (std::size_t j = i + 1; j < rects.size(); ++j) {
      if (!rects[i].Intersect(rects[j]).IsEmpty()) return false;
    }
  }
  return true;
}

enum class Op { Unite, Intersect, Subtract };

struct RegionCase {
  const char* name;
  std::vector<Rect> start;  // united one by one
  Op op;
  Rect with;
  long long area;
  Rect bounds;
};

class RegionOperation : public ::testing::TestWithParam<RegionCase> {};

TEST_P(RegionOperation, GivesTheExpectedPointsAsDisjointRectangles) {
  const RegionCase& c = GetParam();
  Region region;
  for (const Rect& r : c.start) region.Unite(r);
  Region expected;
  for (int y = -2; y < 22; ++y) {
    for (int x = -2; x < 22; ++x) {
      bool in = region.Contains({x, y});
      bool other = c.with.Contains({x, y});
      bool keep = c.op == Op::Unite       ? (in || other)
                  : c.op == Op::Intersect ? (in && other)
                                          : (in && !other);
      if (keep) expected.Unite({x, y, x + 1, y + 1});
    }
  }
  switch (c.op) {
    case Op::Unite:
      region.Unite(c.with);
      break;
    case Op::Intersect:
      region.Intersect(c.with);
      break;
    case Op::Subtract:
      region.Subtract(c.with);
      break;
  }
  EXPECT_EQ(Coverage(region), Coverage(expected));
  EXPECT_TRUE(Disjoint(region));
  EXPECT_EQ(region.Area(), c.area);
  EXPECT_EQ(region.Bounds(), c.bounds);
  EXPECT_EQ(region.IsEmpty(), c.area == 0);
  EXPECT_TRUE(region.SameArea(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegionOperation,
    ::testing::Values(
        RegionCase{
            "UniteOverlapping", {{0, 0, 10, 10}}, Op::Unite, {5, 5, 15, 15}, 175, {0, 0, 15, 15}},
        RegionCase{"UniteInside", {{0, 0, 10, 10}}, Op::Unite, {2, 2, 4, 4}, 100, {0, 0, 10, 10}},
        RegionCase{"UniteEmpty", {{0, 0, 10, 10}}, Op::Unite, {5, 5, 5, 9}, 100, {0, 0, 10, 10}},
        RegionCase{"IntersectPartly",
                   {{0, 0, 10, 10}, {12, 0, 20, 4}},
                   Op::Intersect,
                   {5, 2, 15, 8},
                   30 + 6,
                   {5, 2, 15, 8}},
        RegionCase{"IntersectApart", {{0, 0, 4, 4}}, Op::Intersect, {10, 10, 12, 12}, 0, {}},
        RegionCase{
            "SubtractHole", {{0, 0, 10, 10}}, Op::Subtract, {3, 3, 6, 6}, 91, {0, 0, 10, 10}},
        RegionCase{
            "SubtractEdge", {{0, 0, 10, 10}}, Op::Subtract, {0, 0, 10, 3}, 70, {0, 3, 10, 10}},
        RegionCase{"SubtractAll", {{0, 0, 10, 10}}, Op::Subtract, {-1, -1, 11, 11}, 0, {}},
        RegionCase{"SubtractAcrossTwo",
                   {{0, 0, 5, 5}, {5, 0, 10, 5}},
                   Op::Subtract,
                   {3, 1, 7, 2},
                   46,
                   {0, 0, 10, 5}}),
    [](const auto& info) { return info.param.name; });

TEST(Region, OffsetMovesEveryRectangle) {
  Region region(Rect{0, 0, 4, 4});
  region.Unite({10, 10, 12, 12}).Offset(3, -2);
  EXPECT_EQ(region.Bounds(), (Rect{3, -2, 15, 10}));
  EXPECT_TRUE(region.Contains({3, -2}));
  EXPECT_FALSE(region.Contains({0, 0}));
}

}  // namespace
}  // namespace plat
