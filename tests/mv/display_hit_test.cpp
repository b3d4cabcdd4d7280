// Hit testing, selection and copying.
#include <gtest/gtest.h>

#include <cstring>

#include "display_fixture.h"
#include "mv/title.h"
#include "plat/cp1251.h"

namespace {

using namespace displaytest;
using namespace plat::cp1251::literals;

constexpr plat::Rect kView{20, 10, 500, 700};

struct HotCase {
  const char* name;
  const char* ctx;
  std::string_view at;  // text under the point (cp1251); empty: use `picture`
  int picture;          // picture index, with `offset` into it
  plat::Point offset;
  bool hot;
  int kind;
  const char* text;  // hotspot text (UTF-8)
  int element;       // point record element
};

class PointInfo : public ::testing::TestWithParam<HotCase> {};

TEST_P(PointInfo, ReportsWhatIsUnderThePoint) {
  InstallPictures();
  const HotCase& c = GetParam();
  Shown shown(c.ctx, kView, kMVRegionBody);
  plat::Point point;
  if (!c.at.empty()) {
    point = PointOfText(shown, c.at);
  } else {
    const auto& picture = LayoutOf(shown).pictures[static_cast<std::size_t>(c.picture)];
    point = {kView.left + picture.rect.left + c.offset.x,
             kView.top + picture.rect.top + c.offset.y};
  }
  MVHOTSPOTRECORD hot{};
  MVPOINTRECORD where{};
  char text[256];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(fMVGetPointInfo(shown, point, &hot, text, &where) != 0, c.hot);
  EXPECT_EQ(where.x, point.x);
  EXPECT_EQ(where.y, point.y);
  EXPECT_EQ(where.element, c.element);
  EXPECT_EQ(where.region, 2);
  EXPECT_NE(where.addr, -1);
  EXPECT_EQ(lMVTopicOfAddr(Articles(), where.addr), lMVTopicNumber(shown));
  if (!c.hot) return;
  EXPECT_EQ(hot.kind, c.kind);
  EXPECT_EQ(std::string(text), plat::cp1251::FromUtf8(c.text));
  EXPECT_EQ(hot.textLength, static_cast<std::int32_t>(std::strlen(text)));
  EXPECT_TRUE((plat::Rect{hot.left, hot.top, hot.right, hot.bottom}.Contains(point)));
  EXPECT_EQ(hot.element, c.element);
  if (c.kind == 1) {
    EXPECT_EQ(static_cast<std::uint32_t>(hot.hash), mv::Title::HashContext("kremlin"));
    EXPECT_EQ(hot.addr, addrMVConvertContextString(Articles(), "kremlin"));
  } else {
    EXPECT_EQ(hot.addr, -1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Elements, PointInfo,
    ::testing::Values(
        HotCase{"PlainText", "moscow", "столица"_cp, 0, {}, false, 0, "", 1},
        HotCase{"Jump", "moscow", "Кремль"_cp, 0, {}, true, 1, "kremlin", 1},
        HotCase{"JumpBlankBetweenWords", "moscow", " Кремль"_cp, 0, {}, true, 1, "kremlin", 1},
        HotCase{"Popup", "moscow", "пояснение"_cp, 0, {}, true, 0, "?pop_term", 1},
        HotCase{"Command", "moscow", "иллюстрацию"_cp, 0, {}, true, 0, "$pic_k,BIGPIC", 1},
        HotCase{"PictureLink", "kremlin", {}, 0, {5, 5}, true, 0, "$pic_kremlin,BIGPIC", 2},
        HotCase{"PictureHotspot", "kremlin", {}, 1, {5, 5}, true, 206, "!scheme_40x30.jpg", 2},
        HotCase{"MapWest", "kremlin", {}, 2, {10, 40}, true, 125, "$map_west", 2},
        HotCase{"MapEast", "kremlin", {}, 2, {150, 40}, true, 125, "$map_east", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayHit, HotspotRectangleIsTheLinkOnItsLine) {
  Shown shown("moscow", kView, kMVRegionBody);
  MVHOTSPOTRECORD first{}, second{};
  char text[256];
  ASSERT_TRUE(fMVGetPointInfo(shown, PointOfText(shown, "Московский"_cp), &first, text, nullptr));
  ASSERT_TRUE(fMVGetPointInfo(shown, PointOfText(shown, "Кремль"_cp), &second, text, nullptr));
  EXPECT_EQ(first.left, second.left);
  EXPECT_EQ(first.right, second.right);
  EXPECT_LT(PointOfText(shown, "Московский"_cp).x - 1, PointOfText(shown, "Кремль"_cp).x);
}

TEST(DisplayHit, PointsOutsideAnythingAndPictureAtTheCorner) {
  InstallPictures();
  Shown shown("moscow", kView, kMVRegionBody);
  MVPOINTRECORD where{};
  EXPECT_FALSE(
      fMVGetPointInfo(shown, {kView.right - 2, kView.bottom - 2}, nullptr, nullptr, &where));
  EXPECT_EQ(where.element, 0);
  EXPECT_EQ(where.addr, -1);
  // With no margins a topic that starts with a picture has it under (5, 5).
  Shown picture("pic_only", {0, 0, 1, 1}, kMVRegionHeading);
  plat::Rect probe{0, 0, 10, 10};
  fMVRealize(picture, &probe);
  EXPECT_FALSE(fMVGetPointInfo(picture, {5, 5}, nullptr, nullptr, &where));
  Shown tight("pic_only", {0, 0, 237, 180}, kMVRegionHeading);
  fMVGetPointInfo(tight, {5, 5}, nullptr, nullptr, &where);
  EXPECT_EQ(where.element, 2);
  EXPECT_EQ(where.region, 1);
  EXPECT_EQ(where.index, 0);
}

struct SelectCase {
  const char* name;
  const char* ctx;
  int region;
  std::string_view from;  // anchor at this text (empty: select all)
  std::string_view to;    // extend to this text (empty: a double click at `from`)
  const char* copy;       // UTF-8 with \r\n
};

class SelectAndCopy : public ::testing::TestWithParam<SelectCase> {};

TEST_P(SelectAndCopy, CopiesCp1251WithCrLf) {
  InstallPictures();
  const SelectCase& c = GetParam();
  Shown shown(c.ctx, kView, c.region);
  EXPECT_FALSE(fMVIsSelected(shown));
  if (c.from.empty()) {
    MVSelectPoint(shown, {0, 0}, 3);
  } else if (c.to.empty()) {
    MVSelectPoint(shown, PointOfText(shown, c.from), 2);
  } else {
    plat::Point a = PointOfText(shown, c.from);
    MVSelectPoint(shown, {a.x - 1, a.y}, 0);
    plat::Point b = PointOfText(shown, c.to);
    MVSelectPoint(shown, {b.x - 1, b.y}, 1);
  }
  EXPECT_TRUE(fMVIsSelected(shown));
  EXPECT_EQ(GlobalText(hMVCopySelection(shown)), plat::cp1251::FromUtf8(c.copy));
  EXPECT_TRUE(fMVClearSelection(shown));
  EXPECT_FALSE(fMVIsSelected(shown));
  EXPECT_EQ(hMVCopySelection(shown), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SelectAndCopy,
    ::testing::Values(SelectCase{"Word", "moscow", kMVRegionBody, "столица"_cp, {}, "столица"},
                      SelectCase{
                          "WordFromItsMiddle", "moscow", kMVRegionBody, "лица"_cp, {}, "столица"},
                      SelectCase{"Heading", "moscow", kMVRegionHeading, {}, {}, "Москва\r\n"},
                      SelectCase{"AcrossParagraphs", "moscow", kMVRegionBody, "союзника"_cp,
                                 "История"_cp, "союзника.\r\n"},
                      SelectCase{"TabsStay", "moscow", kMVRegionBody, "Год"_cp, "1897"_cp,
                                 "Год\tЖителей\tРост\r\n"},
                      SelectCase{"PicturesDropped", "kremlin", kMVRegionBody, "Небольшая"_cp,
                                 "стоит"_cp, "Небольшая схема  "},
                      SelectCase{"CellsAreTabs", "kremlin", kMVRegionBody, "Спасская"_cp,
                                 "Троицкая"_cp, "Спасская\t71\t1491\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DisplaySelection, SwitchedOffPressesSelectNothing) {
  Shown shown("moscow", kView, kMVRegionBody);
  EXPECT_EQ(fMVAllowEWSelection(shown, 0), 1);
  MVSelectPoint(shown, PointOfText(shown, "столица"_cp), 2);
  MVSelectPoint(shown, PointOfText(shown, "Москва"_cp), 0);
  MVSelectPoint(shown, PointOfText(shown, "крупнейший"_cp), 1);
  EXPECT_FALSE(fMVIsSelected(shown));
  EXPECT_EQ(fMVAllowEWSelection(shown, 1), 0);
  MVSelectPoint(shown, PointOfText(shown, "столица"_cp), 2);
  EXPECT_TRUE(fMVIsSelected(shown));
}

TEST(DisplaySelection, WholeArticleCopyOffScreen) {
  LPMV heading = lpMVNew(Articles(), kMVRegionHeading);
  LPMV body = lpMVNew(Articles(), kMVRegionBody);
  plat::Rect off{-1000, -1000, -100, -100};
  std::string all;
  for (LPMV d : {heading, body}) {
    fMVSetAddress(d, VaOf("moscow"), 1);
    fMVRealize(d, &off);
    MVSelectPoint(d, {0, 0}, 3);
    all += GlobalText(hMVCopySelection(d));
  }
  EXPECT_EQ(all.rfind("Москва\r\nМосква — столица"_cp, 0), 0u);
  EXPECT_NE(all.find("1897\t1 038 600\t—\r\n"_cp), std::string::npos);
  EXPECT_EQ(all.find('\n'), all.find("\r\n") + 1);
  MVDelete(heading);
  MVDelete(body);
}

TEST(DisplayCopy, MediaDataNameAndNeighbours) {
  Shown moscow("moscow", kView);
  Shown media("media_only", kView);
  Shown empty("empty_one", kView);
  EXPECT_EQ(GlobalText(hMVCopyMedia(media)), "Список: первое\r\nвторое"_cp);
  EXPECT_EQ(GlobalText(hMVCopyMedia(moscow)).rfind("Москва\r\nМосква — столица"_cp, 0), 0u);
  EXPECT_EQ(hMVCopyMedia(empty), nullptr);
  EXPECT_EQ(GlobalText(hMVGetData(moscow)), "moscow;Москва;1147"_cp);
  EXPECT_EQ(hMVGetData(media), nullptr);
  EXPECT_EQ(GlobalText(hMVGetName(moscow)), "Москва"_cp);
  EXPECT_EQ(lMVTopicNumber(moscow), lMVTopicOfAddr(Articles(), VaOf("moscow")));
  EXPECT_EQ(addrMVGetNext(moscow), VaOf("kremlin"));
  EXPECT_EQ(addrMVGetPrev(moscow), -1);
  EXPECT_TRUE(fMVHasSR(moscow));
  EXPECT_FALSE(fMVHasSR(empty));
  EXPECT_EQ(fMVPrintMedia(moscow), 0);

  MVSelectPoint(moscow, PointOfText(moscow, "столица"_cp), 2);
  MVHGLOBAL advanced = hMVCopyAdvanced(moscow);
  ASSERT_NE(advanced, nullptr);
  const auto& memory = mv::CurrentGlobalMemory();
  std::string block(static_cast<const char*>(memory.lock(advanced)), memory.size(advanced));
  memory.unlock(advanced);
  MVGlobalFree(advanced);
  EXPECT_EQ(block.rfind("MVCA", 0), 0u);
  EXPECT_NE(block.find("столица\r\nИсточник: Москва\r\n"_cp), std::string::npos);
  EXPECT_NE(block.find("<p>столица</p>"), std::string::npos);
}

}  // namespace
