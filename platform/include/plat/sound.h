// Sounds: short waves played from memory (one at a time, a new one stops the previous) and
// wave devices opened on a file that report the end of playback to a window with the sound-done
// message (953; first parameter the outcome, second the device number). The end is timed by
// the clip's length on the layer's clock, so the virtual clock of tests drives it too. Audio
// reaches the host only through an installed output while host effects are on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plat/window.h"

namespace plat {

enum class SoundMode { Synchronous, Asynchronous };

// First parameter of the sound-done message.
namespace sound_outcome {
inline constexpr std::uint32_t kSuccessful = 1;
inline constexpr std::uint32_t kSuperseded = 2;
inline constexpr std::uint32_t kAborted = 4;
inline constexpr std::uint32_t kFailure = 8;
}  // namespace sound_outcome

// Where audio goes on a host with a sound device.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays a whole RIFF WAVE image; with `wait`, returns when it has been heard.
  virtual bool Play(std::span<const std::uint8_t> wave, bool wait) = 0;
  virtual void Stop() = 0;
};
void SetSoundOutput(std::unique_ptr<SoundOutput> output);

// Milliseconds of sound in a RIFF WAVE image; nothing when it is not one.
std::optional<std::uint32_t> WaveDuration(std::span<const std::uint8_t> wave);

// False for data that is not a wave.
bool PlayWave(std::span<const std::uint8_t> wave, SoundMode mode);
// A wave resource of the program; false when it is missing.
bool PlayWaveResource(int number, SoundMode mode);
void StopSound();

// A wave device on one file.
class WaveDevice {
 public:
  // Nothing when the file is missing or is not a wave.
  static std::optional<WaveDevice> Open(std::string_view programPath);
  WaveDevice(WaveDevice&& other) noexcept;
  WaveDevice& operator=(WaveDevice&& other) noexcept;
  WaveDevice(const WaveDevice&) = delete;
  WaveDevice& operator=(const WaveDevice&) = delete;
  ~WaveDevice();

  std::uint32_t Id() const { return id_; }
  std::uint32_t Length() const;  // milliseconds
  // Plays from the current position to the end; the window gets sound-done when it ends. A
  // play while playing supersedes the earlier one.
  bool Play(Window notify);
  bool SeekStart();
  // A pending notification ends as aborted.
  bool Stop();
  void Close();
  bool IsPlaying() const;

 private:
  explicit WaveDevice(std::uint32_t id) : id_(id) {}
  std::uint32_t id_ = 0;
};

}  // namespace plat
