// What the program asks of the host outside its windows: programs, documents, the web browser,
// sounds, help and the bell. Every request is recorded; only when a host backend switches real
// effects on are programs started and sounds played, so tests and headless runs stay silent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

enum class EffectKind {
  OpenUrl,
  ShellOpen,
  RunProgram,
  PlaySound,
  StopSound,
  WaveOpen,
  WavePlay,
  WaveSeekStart,
  WaveStop,
  WaveClose,
  Help,
  Beep,
};

struct Effect {
  EffectKind kind = EffectKind::Beep;
  std::string target;        // address, path, help file or sound source
  std::uint32_t number = 0;  // help context, sound or device number, show mode
  std::uint32_t detail = 0;  // help style, sound mode, wait flag
  friend bool operator==(const Effect&, const Effect&) = default;
};

void SetHostEffects(bool on);
bool HostEffects();

const std::vector<Effect>& RecordedEffects();
void ClearRecordedEffects();

// What a recorded request answers while host effects are off (true unless set).
void SetRecordedAnswer(EffectKind kind, bool success);

// Records the request and, while host effects are off, returns the recorded answer.
bool RecordEffect(const Effect& effect);

}  // namespace plat
