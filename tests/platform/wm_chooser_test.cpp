// The save-file dialog and the folder browser: answers typed or clicked, the default extension,
// the overwrite question, folder navigation by keys and mouse, modality, and their look.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "plat/cp1251.h"
#include "plat/file_chooser.h"
#include "plat/message_box.h"
#include "plat/path.h"
#include "wm_fixture.h"

namespace {

using namespace plat;
using namespace plat::cp1251::literals;
using wmtest::Screen;

namespace fs = std::filesystem;

Point Centre(const Rect& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A folder with pictures, a text file and two subfolders (one with a Russian name).
class Choosers : public Screen {
 protected:
  void SetUp() override {
    Screen::SetUp();
    host_ = fs::path(::testing::TempDir()) / ("wm_chooser_" + std::to_string(::getpid()));
    fs::remove_all(host_);
    fs::create_directories(host_ / "Sub");
    fs::create_directories(host_ / cp1251::ToUtf8("Папка"_cp));
    for (const char* name : {"a.jpg", "b.JPG", "c.bmp", "notes.txt"}) {
      std::ofstream(host_ / name) << "x";
    }
    folder_ = ToProgramPath(host_.string()) + "\\";
    owner_ = Popup({0, 0, 100, 100});
    request_.owner = owner_;
    request_.title = "Save Picture";
    request_.initialFolder = folder_;
    request_.suggestedName = "picture";
    request_.defaultExtension = "jpg";
    request_.filters = {{"*.JPG", "*.jpg"}, {"*.*", "*.*"}};
  }
  void TearDown() override {
    Screen::TearDown();
    fs::remove_all(host_);
  }
  fs::path host_;
  std::string folder_;
  Window owner_;
  SaveFileRequest request_;
};

struct SaveRow {
  const char* name;
  std::vector<std::optional<std::string>> answers;  // "@" stands for the test folder
  std::optional<std::string> expected;
};

class SaveAnswers : public Choosers, public ::testing::WithParamInterface<SaveRow> {};

TEST_P(SaveAnswers, GiveTheChosenPathOrNothing) {
  auto expand = [this](std::string text) {
    if (!text.empty() && text[0] == '@') text = folder_ + text.substr(1);
    return text;
  };
  for (const auto& answer : GetParam().answers) {
    headless::AnswerNextChooser(answer ? std::optional(expand(*answer)) : std::nullopt);
  }
  std::optional<std::string> chosen = AskSaveFile(request_);
  std::optional<std::string> expected;
  if (GetParam().expected) expected = expand(*GetParam().expected);
  EXPECT_EQ(chosen, expected);
  ASSERT_FALSE(headless::ModalRecords().empty());
  const headless::ModalRecord& record = headless::ModalRecords().back();
  EXPECT_EQ(record.kind, ModalView::Kind::SaveFile);
  EXPECT_EQ(record.caption, "Save Picture");
  EXPECT_EQ(record.answer, expected ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SaveAnswers,
    ::testing::Values(
        SaveRow{"DefaultExtensionAdded", {"pic"}, "@pic.jpg"},
        SaveRow{"OwnExtensionKept", {"pic.bmp"}, "@pic.bmp"},
        SaveRow{"FolderNameOpensIt", {"Sub", "x"}, "@Sub\\x.jpg"},
        SaveRow{"ParentFolder", {"Sub", "..", "y"}, "@y.jpg"},
        SaveRow{"AbsolutePath", {"@Sub\\abs"}, "@Sub\\abs.jpg"},
        SaveRow{"SlashesAccepted", {"Sub/z"}, "@Sub\\z.jpg"},
        SaveRow{"Cancelled", {std::nullopt}, std::nullopt},
        SaveRow{"NothingQueuedCancels", {}, std::nullopt},
        SaveRow{"EmptyNameIsRefused", {"", std::nullopt}, std::nullopt},
        SaveRow{"WildcardIsRefused", {"*.jpg", std::nullopt}, std::nullopt},
        SaveRow{"MissingFolderWarnsAndStays", {"nowhere\\x", "w"}, "@w.jpg"},
        // The question's default button is No: the existing file is kept.
        SaveRow{"ExistingFileNotReplacedByDefault", {"a.jpg", std::nullopt}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Choosers, ReplacingAFileNeedsAYes) {
  int questions = 0;
  headless::SetModalScript([&](const ModalView& view) {
    if (view.kind != ModalView::Kind::MessageBox) return false;
    ++questions;
    EXPECT_EQ(view.itemRects.size(), 2u);
    headless::Click(Centre(view.itemRects[0]));  // Yes
    return true;
  });
  headless::AnswerNextChooser("a");
  EXPECT_EQ(AskSaveFile(request_), folder_ + "a.jpg");
  EXPECT_EQ(questions, 1);
  request_.confirmOverwrite = false;
  headless::AnswerNextChooser("a");
  EXPECT_EQ(AskSaveFile(request_), folder_ + "a.jpg");
  EXPECT_EQ(questions, 1) << "no question when not asked for";
}

TEST_F(Choosers, KeyboardAlone) {
  int step = 0;
  headless::SetModalScript([&](const ModalView& view) {
    if (view.kind != ModalView::Kind::SaveFile) return false;
    switch (step++) {
      case 0:
        // List: "..", "Sub", "Папка", "a.jpg", "b.JPG"; focusing it selects the first row.
        headless::KeyPress(key::kTab);
        headless::KeyPress(key::kDown);
        headless::KeyPress(key::kEnter);
        return true;
      case 1:
        headless::KeyPress(key::kTab);  // to the type box
        headless::KeyPress(key::kTab);  // back to the field
        headless::Type("k");
        headless::KeyPress(key::kEnter);
        return true;
      default:
        return false;
    }
  });
  EXPECT_EQ(AskSaveFile(request_), folder_ + "Sub\\k.jpg");
}

TEST_F(Choosers, MouseAlone) {
  int step = 0;
  headless::SetModalScript([&](const ModalView& view) {
    if (view.kind != ModalView::Kind::SaveFile) return false;
    Rect list = view.itemRects[3];
    Point row2{list.left + 40, list.top + 2 + 2 * 18 + 9};  // "Папка"
    switch (step++) {
      case 0:
        headless::Click(row2);
        headless::Click(row2);
        return true;
      case 1:
        headless::Click(Centre(view.itemRects[0]));  // Save, with the suggested name
        return true;
      default:
        return false;
    }
  });
  EXPECT_EQ(AskSaveFile(request_), folder_ + "Папка\\picture.jpg"_cp.data());
}

TEST_F(Choosers, TheOwnerIsDisabledWhileTheDialogRuns) {
  Window other = Popup({150, 0, 250, 100});
  headless::SetModalScript([&](const ModalView& view) {
    EXPECT_FALSE(IsWindowEnabled(owner_));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(ActiveWindow(), view.window);
    EXPECT_EQ(view.text, folder_);
    return false;
  });
  AskSaveFile(request_);
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(ActiveWindow(), owner_);
}

struct FolderRow {
  const char* name;
  std::vector<std::optional<std::string>> answers;
  std::optional<std::string> expected;
};

class FolderAnswers : public Choosers, public ::testing::WithParamInterface<FolderRow> {};

TEST_P(FolderAnswers, GiveTheFolderWithoutItsBackslash) {
  for (const auto& answer : GetParam().answers) headless::AnswerNextChooser(answer);
  std::optional<std::string> chosen = AskFolder(owner_, "Выбор устройства"_cp, folder_);
  std::optional<std::string> expected;
  if (GetParam().expected) expected = folder_ + *GetParam().expected;
  if (expected && expected->back() == '\\') expected->pop_back();
  EXPECT_EQ(chosen, expected);
  EXPECT_EQ(headless::ModalRecords().back().kind, ModalView::Kind::Folder);
}

INSTANTIATE_TEST_SUITE_P(Table, FolderAnswers,
                         ::testing::Values(FolderRow{"Relative", {"Sub"}, "Sub"},
                                           FolderRow{"EmptyFieldTakesTheShownFolder", {""}, ""},
                                           FolderRow{
                                               "Missing", {"nowhere", std::nullopt}, std::nullopt},
                                           FolderRow{"Cancelled", {std::nullopt}, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Choosers, FolderBrowserEntersFoldersFromTheList) {
  int step = 0;
  headless::SetModalScript([&](const ModalView& view) {
    if (step++ > 0) return false;
    Rect list = view.itemRects[3];
    Point row1{list.left + 40, list.top + 2 + 18 + 9};  // "Sub" after ".."
    headless::Click(row1);
    headless::Click(row1);
    headless::Click(Centre(view.itemRects[0]));
    return true;
  });
  EXPECT_EQ(AskFolder(owner_, "Выбор устройства"_cp, folder_), folder_ + "Sub");
}

struct PatternRow {
  const char* name;
  const char* pattern;
  bool matches;
};

class Patterns : public ::testing::TestWithParam<PatternRow> {};

TEST_P(Patterns, MatchIgnoringCase) {
  EXPECT_EQ(MatchesPattern(GetParam().name, GetParam().pattern), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Patterns,
    ::testing::Values(PatternRow{"a.JPG", "*.jpg", true}, PatternRow{"a.jpeg", "*.jpg", false},
                      PatternRow{"a.jpeg", "*.jpg; *.jpeg", true},
                      PatternRow{"README", "*.*", true}, PatternRow{"x.bmp", "?.bmp", true},
                      PatternRow{"xy.bmp", "?.bmp", false}, PatternRow{"abc", "", false}));

TEST_F(Choosers, Screenshots) {
  for (int i = 0; i < 14; ++i) std::ofstream(host_ / ("photo" + std::to_string(i) + ".jpg")) << "x";
  std::string folder = ::testing::TempDir();
  std::vector<std::string> shots;
  headless::Start({640, 480});  // room around the dialog
  headless::SetModalScript([&](const ModalView& view) {
    if (view.kind == ModalView::Kind::MessageBox || view.kind == ModalView::Kind::Menu) {
      return false;
    }
    std::string name =
        view.kind == ModalView::Kind::SaveFile ? "wm_save_file.png" : "wm_folder_browser.png";
    if (!shots.empty() && shots.back().ends_with(name)) return false;
    if (view.kind == ModalView::Kind::SaveFile) {
      headless::KeyPress(key::kTab);
      for (int i = 0; i < 4; ++i) headless::KeyPress(key::kDown);
      headless::RunPending();
    }
    shots.push_back(folder + name);
    EXPECT_TRUE(headless::Screenshot(shots.back()));
    return false;
  });
  request_.owner = {};
  AskSaveFile(request_);
  AskFolder({}, "Выбор устройства"_cp, folder_);
  ASSERT_EQ(shots.size(), 2u);
  if (const char* keep = std::getenv("LEXO_SCREENSHOT_DIR")) {
    for (const std::string& shot : shots) {
      fs::copy_file(shot, fs::path(keep) / fs::path(shot).filename(),
                    fs::copy_options::overwrite_existing);
    }
  }
}

}  // namespace
