#include <gtest/gtest.h>

#include <string>

#include "plat/cp1251.h"
#include "plat/message_box.h"
#include "window/picture_files.h"
#include "window/picture_store.h"

namespace lexo {
namespace {

using namespace plat::cp1251::literals;

class PictureStoreTest : public ::testing::Test {
 protected:
  PictureStoreTest() {
    plat::ClearRecordedMessages();
    folder_ = testing::TempPath("lexo_store_test");
    std::string command = "mkdir -p " + folder_;
    EXPECT_EQ(std::system(command.c_str()), 0);
    testing::BmpLayout parameters;
    parameters.width = 3;
    parameters.height = 2;
    parameters.colour = [](int, int) { return 0x0000FFu; };
    EXPECT_TRUE(testing::WriteBytes(folder_ + "/MAINBUT.bmp", testing::MakeBmp(parameters)));
    EXPECT_TRUE(testing::WriteBytes(folder_ + "/skin.bmp", testing::MakeBmp(parameters)));
    setenv("LEXO_RESOURCE_DIR", folder_.c_str(), 1);
  }
  ~PictureStoreTest() override { unsetenv("LEXO_RESOURCE_DIR"); }

  std::string folder_;
  PictureStore store_;
  int windowA_ = 0;
  int windowB_ = 0;
};

TEST_F(PictureStoreTest, ResourceNameWithOrWithoutAFolderIsOnePicture) {
  StoredPicture* bare = store_.Acquire(&windowA_, "?mainbut");
  StoredPicture* withFolder = store_.Acquire(&windowB_, "D:\\Data\\Interf\\?mainbut");
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare, withFolder);
  EXPECT_EQ(bare->Name(), "?mainbut");
  EXPECT_EQ(bare->Picture().Width(), 3);
  EXPECT_EQ(store_.PictureCount(), 1u);
}

TEST_F(PictureStoreTest, TwiceByOneClaimantIsOnePairWithCountTwo) {
  std::string skin = folder_ + "/skin.bmp";
  StoredPicture* first = store_.Acquire(&windowA_, skin);
  StoredPicture* second = store_.Acquire(&windowA_, skin);
  ASSERT_EQ(first, second);
  EXPECT_EQ(first->PairsInUse(), 1u);
  EXPECT_EQ(first->ClaimsOf(&windowA_), 2);
  store_.Release(&windowA_, first);
  ASSERT_EQ(store_.Find(skin), first);
  EXPECT_EQ(first->ClaimsOf(&windowA_), 1);
  store_.Release(&windowA_, first);
  EXPECT_EQ(store_.Find(skin), nullptr);
  EXPECT_EQ(store_.SlotsInUse(), 0u);
}

TEST_F(PictureStoreTest, ReleaseAllDropsEveryClaimOfOneClaimant) {
  StoredPicture* a = store_.Acquire(&windowA_, "?mainbut");
  store_.Acquire(&windowA_, "?mainbut");
  StoredPicture* b = store_.Acquire(&windowA_, folder_ + "/skin.bmp");
  store_.Acquire(&windowB_, folder_ + "/skin.bmp");
  store_.ReleaseAll(&windowA_);
  EXPECT_EQ(store_.Find("?mainbut"), nullptr);
  ASSERT_EQ(store_.Find(folder_ + "/skin.bmp"), b);
  EXPECT_EQ(b->ClaimsOf(&windowA_), 0);
  EXPECT_EQ(b->ClaimsOf(&windowB_), 1);
  (void)a;
}

TEST_F(PictureStoreTest, ReleasingWhatIsNotHeldChangesNothing) {
  StoredPicture* picture = store_.Acquire(&windowA_, "?mainbut");
  store_.Release(&windowB_, picture);
  store_.Release(&windowA_, nullptr);
  store_.Release(nullptr, picture);
  int stranger = 0;
  store_.Release(&windowA_, reinterpret_cast<StoredPicture*>(&stranger));
  ASSERT_EQ(store_.Find("?mainbut"), picture);
  EXPECT_EQ(picture->ClaimsOf(&windowA_), 1);
}

TEST_F(PictureStoreTest, NullClaimantOrEmptyNameGivesNull) {
  EXPECT_EQ(store_.Acquire(nullptr, "?mainbut"), nullptr);
  EXPECT_EQ(store_.Acquire(&windowA_, ""), nullptr);
  EXPECT_EQ(store_.SlotsInUse(), 0u);
}

TEST_F(PictureStoreTest, MissingFileIsAnEmptyPictureThatStillCounts) {
  StoredPicture* missing = store_.Acquire(&windowA_, folder_ + "/none.bmp");
  ASSERT_NE(missing, nullptr);
  EXPECT_TRUE(missing->Picture().IsEmpty());
  EXPECT_EQ(missing->ClaimsOf(&windowA_), 1);
}

TEST_F(PictureStoreTest, EmptiedSlotsAreReusedAndNamesAreCaseSensitive) {
  StoredPicture* a = store_.Acquire(&windowA_, "?one");
  store_.Acquire(&windowA_, "?two");
  StoredPicture* upper = store_.Acquire(&windowA_, "?TWO");
  EXPECT_EQ(store_.PictureCount(), 3u);
  store_.Release(&windowA_, a);
  EXPECT_EQ(store_.SlotsInUse(), 3u);  // a hole in the middle stays
  store_.Acquire(&windowB_, "?three");
  EXPECT_EQ(store_.SlotsInUse(), 3u);
  (void)upper;
}

TEST_F(PictureStoreTest, TooManyPicturesShowsTheMessageAndGivesNull) {
  for (std::size_t i = 0; i < PictureStore::kMaxPictures; ++i) {
    ASSERT_NE(store_.Acquire(&windowA_, "?p" + std::to_string(i)), nullptr);
  }
  EXPECT_TRUE(plat::RecordedMessages().empty());
  EXPECT_EQ(store_.Acquire(&windowA_, "?one too many"), nullptr);
  ASSERT_EQ(plat::RecordedMessages().size(), 1u);
  EXPECT_EQ(plat::RecordedMessages()[0].text, "Очень много картинок"_cp);
  EXPECT_EQ(plat::RecordedMessages()[0].caption, "Error!");
  // An existing picture can still be claimed.
  EXPECT_NE(store_.Acquire(&windowB_, "?p7"), nullptr);
}

TEST_F(PictureStoreTest, TooManyClaimantsShowsTheMessageAndGivesNull) {
  std::vector<int> windows(StoredPicture::kMaxClaimants + 1);
  for (std::size_t i = 0; i < StoredPicture::kMaxClaimants; ++i) {
    ASSERT_NE(store_.Acquire(&windows[i], "?mainbut"), nullptr);
  }
  EXPECT_EQ(store_.Acquire(&windows.back(), "?mainbut"), nullptr);
  ASSERT_EQ(plat::RecordedMessages().size(), 1u);
  EXPECT_EQ(plat::RecordedMessages()[0].text, "Очень много претендентов на картинку"_cp);
  // Someone leaving frees a pair for the next one.
  StoredPicture* picture = store_.Find("?mainbut");
  store_.Release(&windows[3], picture);
  EXPECT_EQ(store_.Acquire(&windows.back(), "?mainbut"), picture);
  EXPECT_EQ(picture->PairsInUse(), StoredPicture::kMaxClaimants);
}

TEST(MessageBoxEntry, AnInstalledHandlerAnswersInsteadOfTheRecord) {
  plat::ClearRecordedMessages();
  std::string seen;
  plat::SetMessageBoxHandler([&](std::string_view text, std::string_view, std::uint32_t) {
    seen = text;
    return 7;
  });
  EXPECT_EQ(plat::ShowMessageBox("text", "caption", 0), 7);
  plat::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(seen, "text");
  EXPECT_TRUE(plat::RecordedMessages().empty());
  EXPECT_EQ(plat::ShowMessageBox("again", "caption", 0), plat::message_box::kAnswerOk);
  EXPECT_EQ(plat::RecordedMessages().size(), 1u);
}

}  // namespace
}  // namespace lexo
