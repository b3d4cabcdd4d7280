// Stand-ins for host services: memory blocks, programs and addresses, sounds and their
// completion messages, help requests, metrics and the last error.
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "plat/effects.h"
#include "plat/help.h"
#include "plat/memory_block.h"
#include "plat/path.h"
#include "plat/shell.h"
#include "plat/sound.h"
#include "plat/system.h"
#include "wm_fixture.h"

namespace {

using namespace plat;
using wmtest::Hook;
using wmtest::Screen;

namespace fs = std::filesystem;

// ---- memory blocks ----

TEST(MemoryBlocks, LockResizeAndFree) {
  std::size_t before = LiveBlockCount();
  MemoryHandle block = AllocateBlock(4);
  ASSERT_TRUE(block);
  std::uint8_t* bytes = LockBlock(block);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 4), std::vector<std::uint8_t>(4, 0));
  bytes[0] = 7;
  bytes[3] = 9;
  EXPECT_EQ(LockCount(block), 1);
  EXPECT_TRUE(UnlockBlock(block));
  EXPECT_FALSE(UnlockBlock(block)) << "not locked any more";
  ASSERT_TRUE(ResizeBlock(block, 256));
  bytes = LockBlock(block);
  EXPECT_EQ(bytes[0], 7);
  EXPECT_EQ(bytes[3], 9);
  EXPECT_EQ(bytes[255], 0) << "grown bytes are zero";
  UnlockBlock(block);
  ASSERT_TRUE(ResizeBlock(block, 2));
  EXPECT_EQ(BlockSize(block), 2u);
  EXPECT_TRUE(FreeBlock(block));
  EXPECT_FALSE(FreeBlock(block)) << "a second free is refused";
  EXPECT_EQ(LockBlock(block), nullptr);
  EXPECT_EQ(BlockSize(block), 0u);
  EXPECT_EQ(LiveBlockCount(), before);
}

TEST(MemoryBlocks, ImpossibleSizesAndForeignHandlesAreRefused) {
  EXPECT_EQ(AllocateBlock(~std::size_t{0} / 2), nullptr);
  MemoryBlock owned(16);
  EXPECT_FALSE(ResizeBlock(owned.Handle(), ~std::size_t{0} / 2));
  EXPECT_EQ(owned.Size(), 16u) << "a failed resize keeps the block";
  int local = 0;
  auto foreign = reinterpret_cast<MemoryHandle>(&local);
  EXPECT_EQ(LockBlock(foreign), nullptr);
  EXPECT_FALSE(FreeBlock(foreign));
  MemoryHandle handed = owned.Release();
  EXPECT_FALSE(owned);
  EXPECT_TRUE(IsBlock(handed)) << "released blocks live on with the receiver";
  FreeBlock(handed);
}

// ---- recorded effects ----

class Effects : public Screen {
 protected:
  void SetUp() override {
    Screen::SetUp();
    ClearRecordedEffects();
    folder_ = fs::path(::testing::TempDir()) / ("wm_effects_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    SetHostEffects(false);
    Screen::TearDown();
    fs::remove_all(folder_);
  }
  std::string Program(const fs::path& path) const { return ToProgramPath(path.string()); }
  fs::path folder_;
};

TEST_F(Effects, HeadlessRequestsAreRecordedAndAnsweredByScript) {
  EXPECT_TRUE(OpenUrl("http://example.org/"));
  SetRecordedAnswer(EffectKind::OpenUrl, false);
  EXPECT_FALSE(OpenUrl("http://example.org/2"));
  EXPECT_TRUE(ShellOpen("mail@example.org", ShowMode::Show));
  EXPECT_TRUE(RunProgram("C:\\LX\\LXRECL.exe", true));
  EXPECT_TRUE(ShowHelp("C:\\LX\\help.hlp", 22, HelpStyle::Popup));
  Beep();
  std::vector<Effect> expected{
      {EffectKind::OpenUrl, "http://example.org/", 0, 0},
      {EffectKind::OpenUrl, "http://example.org/2", 0, 0},
      {EffectKind::ShellOpen, "mail@example.org", 5, 0},
      {EffectKind::RunProgram, "C:\\LX\\LXRECL.exe", 0, 1},
      {EffectKind::Help, "C:\\LX\\help.hlp", 22, static_cast<std::uint32_t>(HelpStyle::Popup)},
      {EffectKind::Beep, "", 0, 0}};
  EXPECT_EQ(RecordedEffects(), expected);
}

TEST_F(Effects, AnExeRunsTheNativeProgramOfTheSameName) {
  fs::path marker = folder_ / "ran";
  fs::path script = folder_ / "lxrecl";
  std::ofstream(script) << "#!/bin/sh\necho done > '" << marker.string() << "'\n";
  ::chmod(script.c_str(), 0755);
  std::string program = Program(folder_ / "LXRECL.exe");
  EXPECT_EQ(NativeProgramFor(program), script.string());
  EXPECT_FALSE(NativeProgramFor(Program(folder_ / "other.exe")));
  SetHostEffects(true);
  ASSERT_TRUE(RunProgram(program, true));
  EXPECT_TRUE(fs::exists(marker)) << "waited for the program to end";
  EXPECT_FALSE(RunProgram(Program(folder_ / "missing.exe"), true));
}

std::vector<std::uint8_t> Wave(std::uint32_t rate, std::uint32_t dataBytes) {
  std::vector<std::uint8_t> w;
  auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) w.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  auto put16 = [&](std::uint16_t v) {
    w.push_back(static_cast<std::uint8_t>(v));
    w.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  w.insert(w.end(), {'R', 'I', 'F', 'F'});
  put32(36 + dataBytes);
  w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(16);
  put16(1);
  put16(1);
  put32(rate);
  put32(rate);  // 8-bit mono: one byte per sample
  put16(1);
  put16(8);
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  put32(dataBytes);
  w.insert(w.end(), dataBytes, 0x80);
  return w;
}

struct DurationRow {
  const char* name;
  std::vector<std::uint8_t> data;
  std::optional<std::uint32_t> milliseconds;
};

class WaveDurations : public ::testing::TestWithParam<DurationRow> {};

TEST_P(WaveDurations, ComeFromTheHeader) {
  EXPECT_EQ(WaveDuration(GetParam().data), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WaveDurations,
    ::testing::Values(
        DurationRow{"Whole", Wave(8000, 800), 100},
        DurationRow{"CutShortCountsWhatIsThere",
                    [] {
                      auto w = Wave(8000, 800);
                      w.resize(w.size() - 400);
                      return w;
                    }(),
                    50},
        DurationRow{"NotRiff", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, std::nullopt},
        DurationRow{"HeaderOnly",
                    [] {
                      auto w = Wave(8000, 0);
                      w.resize(20);
                      return w;
                    }(),
                    std::nullopt},
        DurationRow{"ZeroRate", Wave(0, 10), std::nullopt}, DurationRow{"Empty", {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class WaveDevices : public Effects {
 protected:
  void SetUp() override {
    Effects::SetUp();
    std::vector<std::uint8_t> data = Wave(8000, 800);  // 100 ms
    fs::path file = folder_ / "intro.wav";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    path_ = Program(file);
    window_ = Popup({0, 0, 50, 50});
    Hook() = [this](Window w, std::uint32_t code, FirstParam first, SecondParam second, bool&) {
      if (w == window_ && code == msg::kSoundDone) {
        done_.emplace_back(first, static_cast<std::uint32_t>(second));
        if (loop_ && first == sound_outcome::kSuccessful && device_) {
          device_->SeekStart();
          device_->Play(window_);
        }
      }
      return Answer{0};
    };
  }
  void Wait(std::uint32_t ms) {
    headless::Advance(ms);
    headless::RunPending();
  }
  std::string path_;
  Window window_;
  std::vector<std::pair<FirstParam, std::uint32_t>> done_;
  bool loop_ = false;
  std::optional<WaveDevice> device_;
};

TEST_F(WaveDevices, TheEndIsPostedAfterTheClipLength) {
  device_ = WaveDevice::Open(path_);
  ASSERT_TRUE(device_);
  EXPECT_EQ(device_->Length(), 100u);
  device_->Play(window_);
  Wait(99);
  EXPECT_TRUE(done_.empty());
  Wait(1);
  EXPECT_EQ(done_, (decltype(done_){{sound_outcome::kSuccessful, device_->Id()}}));
  EXPECT_FALSE(device_->IsPlaying());
}

TEST_F(WaveDevices, SuccessLoopsTheSoundAndStopEndsTheLoop) {
  device_ = WaveDevice::Open(path_);
  loop_ = true;
  device_->Play(window_);
  for (int i = 0; i < 3; ++i) Wait(100);
  EXPECT_EQ(done_.size(), 3u);
  EXPECT_TRUE(device_->IsPlaying());
  device_->Stop();
  headless::RunPending();
  Wait(500);
  ASSERT_EQ(done_.size(), 4u);
  EXPECT_EQ(done_.back().first, sound_outcome::kAborted);
}

TEST_F(WaveDevices, APlayOverAPlaySupersedesIt) {
  device_ = WaveDevice::Open(path_);
  device_->Play(window_);
  Wait(60);
  device_->Play(window_);  // from where it was: 40 ms are left
  Wait(40);
  using namespace sound_outcome;
  EXPECT_EQ(done_, (decltype(done_){{kSuperseded, device_->Id()}, {kSuccessful, device_->Id()}}));
}

TEST_F(WaveDevices, MissingOrBrokenFilesDoNotOpen) {
  EXPECT_FALSE(WaveDevice::Open(Program(folder_ / "none.wav")));
  std::ofstream(folder_ / "bad.wav") << "RIFF....not a wave";
  EXPECT_FALSE(WaveDevice::Open(Program(folder_ / "bad.wav")));
  EXPECT_FALSE(PlayWave(std::vector<std::uint8_t>{1, 2, 3}, SoundMode::Asynchronous));
  EXPECT_FALSE(PlayWaveResource(987654, SoundMode::Synchronous));
}

TEST_F(WaveDevices, ClosingAPlayingDeviceAbortsItsNotification) {
  {
    std::optional<WaveDevice> device = WaveDevice::Open(path_);
    device->Play(window_);
  }
  Wait(200);
  ASSERT_EQ(done_.size(), 1u);
  EXPECT_EQ(done_[0].first, sound_outcome::kAborted);
}

// ---- metrics and errors ----

TEST_F(Screen, MetricsAndColoursHaveFixedValues) {
  EXPECT_EQ(SystemMetric(SystemMeasure::VerticalScrollWidth), 16);
  EXPECT_EQ(SystemMetric(SystemMeasure::DoubleClickTime), 500);
  EXPECT_EQ(SystemMetric(SystemMeasure::ScreenWidth), 320);
  EXPECT_EQ(SystemColour(SystemColourRole::WindowBackground), 0x00FFFFFFu);
  EXPECT_EQ(SystemColour(SystemColourRole::WindowText), 0u);
}

TEST(LastError, DescribesErrno) {
  errno = ENOENT;
  std::string text = LastErrorText();
  EXPECT_FALSE(text.empty());
  errno = 0;
}

}  // namespace
