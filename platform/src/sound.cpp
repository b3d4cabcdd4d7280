#include "plat/sound.h"

#include <algorithm>
#include <map>
#include <utility>

#include "plat/backend.h"
#include "plat/effects.h"
#include "plat/messages.h"
#include "plat/path.h"
#include "plat/resource.h"
#include "plat/runtime.h"
#include "plat/stream.h"

namespace plat {
namespace {

constexpr std::string_view kDeviceClass = "#WaveDevice";
constexpr std::uint32_t kEndTimer = 1;

std::uint32_t Read32(std::span<const std::uint8_t> data, std::size_t at) {
  return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
         static_cast<std::uint32_t>(data[at + 2]) << 16 |
         static_cast<std::uint32_t>(data[at + 3]) << 24;
}

struct DeviceState {
  std::string path;
  std::vector<std::uint8_t> data;
  std::uint32_t length = 0;
  std::uint32_t position = 0;  // where playing starts, in milliseconds
  std::uint32_t startedAt = 0;
  bool playing = false;
  Window notify;
  Window timer;  // a hidden window of the layer whose timer marks the end
};

struct SoundState {
  std::unique_ptr<SoundOutput> output;
  std::map<std::uint32_t, DeviceState> devices;
  std::uint32_t lastId = 0;
};

SoundState& State() {
  static SoundState state;
  return state;
}

void Notify(DeviceState& device, std::uint32_t id, std::uint32_t outcome) {
  if (device.notify) PostMessage(device.notify, msg::kSoundDone, outcome, id);
  device.notify = {};
}

void Halt(DeviceState& device) {
  if (!device.playing) return;
  std::uint32_t heard = TickCount() - device.startedAt;
  device.position = std::min(device.length, device.position + heard);
  device.playing = false;
  if (IsWindow(device.timer)) StopTimer(device.timer, kEndTimer);
  if (HostEffects() && State().output) State().output->Stop();
}

Answer DeviceProcedure(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  if (code == msg::kTimer && first == kEndTimer) {
    StopTimer(window, kEndTimer);
    auto id = static_cast<std::uint32_t>(WindowSlot(window));
    auto found = State().devices.find(id);
    if (found != State().devices.end() && found->second.playing) {
      DeviceState& device = found->second;
      device.playing = false;
      device.position = device.length;
      Notify(device, id, sound_outcome::kSuccessful);
    }
    return 0;
  }
  return DefaultProcedure(window, code, first, second);
}

Window TimerWindow(DeviceState& device, std::uint32_t id) {
  if (IsWindow(device.timer)) return device.timer;
  if (!IsWindowClassRegistered(kDeviceClass)) {
    RegisterWindowClass(
        {std::string(kDeviceClass), 0, std::nullopt, Brush::Null(), &DeviceProcedure});
  }
  WindowCreateInfo parameters;
  parameters.className = std::string(kDeviceClass);
  parameters.style = window_style::kPopup;
  device.timer = CreateWindow(parameters);
  SetWindowSlot(device.timer, id);
  return device.timer;
}

}  // namespace

void SetSoundOutput(std::unique_ptr<SoundOutput> output) {
  State().output = std::move(output);
}

std::optional<std::uint32_t> WaveDuration(std::span<const std::uint8_t> wave) {
  if (wave.size() < 12 || Read32(wave, 0) != 0x46464952 || Read32(wave, 8) != 0x45564157) {
    return std::nullopt;  // "RIFF" ... "WAVE"
  }
  std::uint32_t byteRate = 0;
  std::size_t at = 12;
  while (at + 8 <= wave.size()) {
    std::uint32_t id = Read32(wave, at);
    std::uint32_t size = Read32(wave, at + 4);
    std::size_t body = at + 8;
    if (id == 0x20746D66 && size >= 16 && body + 16 <= wave.size()) {  // "fmt "
      byteRate = Read32(wave, body + 8);
    } else if (id == 0x61746164) {  // "data"
      if (byteRate == 0) return std::nullopt;
      std::uint64_t bytes = std::min<std::uint64_t>(size, wave.size() - body);
      return static_cast<std::uint32_t>(bytes * 1000 / byteRate);
    }
    if (size > wave.size() - body) break;
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

bool PlayWave(std::span<const std::uint8_t> wave, SoundMode mode) {
  std::optional<std::uint32_t> length = WaveDuration(wave);
  RecordEffect(
      {EffectKind::PlaySound, "memory", length.value_or(0), static_cast<std::uint32_t>(mode)});
  if (!length) return false;
  if (HostEffects() && State().output) {
    State().output->Stop();
    return State().output->Play(wave, mode == SoundMode::Synchronous);
  }
  return true;
}

bool PlayWaveResource(int number, SoundMode mode) {
  std::vector<unsigned char> wave = LoadResource(number, ResourceKind::Wave);
  std::optional<std::uint32_t> length = WaveDuration(wave);
  RecordEffect({EffectKind::PlaySound, "resource " + std::to_string(number), length.value_or(0),
                static_cast<std::uint32_t>(mode)});
  if (!length) return false;
  if (HostEffects() && State().output) {
    State().output->Stop();
    return State().output->Play(wave, mode == SoundMode::Synchronous);
  }
  return true;
}

void StopSound() {
  RecordEffect({EffectKind::StopSound, "", 0, 0});
  if (HostEffects() && State().output) State().output->Stop();
}

std::optional<WaveDevice> WaveDevice::Open(std::string_view programPath) {
  std::vector<std::uint8_t> data;
  std::optional<std::uint32_t> length;
  if (std::optional<std::string> bytes = ReadWholeFile(programPath)) {
    data.assign(bytes->begin(), bytes->end());
    length = WaveDuration(data);
  }
  RecordEffect(
      {EffectKind::WaveOpen, std::string(programPath), length.value_or(0), length ? 1u : 0u});
  if (!length) return std::nullopt;
  SoundState& state = State();
  std::uint32_t id = ++state.lastId;
  DeviceState& device = state.devices[id];
  device.path = std::string(programPath);
  device.data = std::move(data);
  device.length = *length;
  return WaveDevice(id);
}

WaveDevice::WaveDevice(WaveDevice&& other) noexcept : id_(std::exchange(other.id_, 0)) {}

WaveDevice& WaveDevice::operator=(WaveDevice&& other) noexcept {
  if (this != &other) {
    Close();
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

WaveDevice::~WaveDevice() {
  Close();
}

std::uint32_t WaveDevice::Length() const {
  auto found = State().devices.find(id_);
  return found == State().devices.end() ? 0 : found->second.length;
}

bool WaveDevice::Play(Window notify) {
  auto found = State().devices.find(id_);
  if (found == State().devices.end()) return false;
  DeviceState& device = found->second;
  RecordEffect({EffectKind::WavePlay, device.path, id_, device.position});
  if (device.playing) {
    Halt(device);
    Notify(device, id_, sound_outcome::kSuperseded);
  }
  if (device.position >= device.length) device.position = device.length;
  device.notify = notify;
  device.playing = true;
  device.startedAt = TickCount();
  Window timer = TimerWindow(device, id_);
  StartTimer(timer, kEndTimer, device.length - device.position);
  if (HostEffects() && State().output) {
    // Whole clips only: the intro sounds always play from their start.
    State().output->Stop();
    State().output->Play(device.data, false);
  }
  return true;
}

bool WaveDevice::SeekStart() {
  auto found = State().devices.find(id_);
  if (found == State().devices.end()) return false;
  DeviceState& device = found->second;
  RecordEffect({EffectKind::WaveSeekStart, device.path, id_, 0});
  if (device.playing) {
    Halt(device);
    Notify(device, id_, sound_outcome::kAborted);
  }
  device.position = 0;
  return true;
}

bool WaveDevice::Stop() {
  auto found = State().devices.find(id_);
  if (found == State().devices.end()) return false;
  DeviceState& device = found->second;
  RecordEffect({EffectKind::WaveStop, device.path, id_, 0});
  if (device.playing) {
    Halt(device);
    Notify(device, id_, sound_outcome::kAborted);
  }
  return true;
}

void WaveDevice::Close() {
  auto found = State().devices.find(id_);
  if (found == State().devices.end()) return;
  DeviceState& device = found->second;
  RecordEffect({EffectKind::WaveClose, device.path, id_, 0});
  if (device.playing) {
    Halt(device);
    Notify(device, id_, sound_outcome::kAborted);
  }
  if (IsWindowingStarted() && IsWindow(device.timer)) DestroyWindow(device.timer);
  State().devices.erase(found);
  id_ = 0;
}

bool WaveDevice::IsPlaying() const {
  auto found = State().devices.find(id_);
  return found != State().devices.end() && found->second.playing;
}

}  // namespace plat
