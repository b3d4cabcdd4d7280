#include "plat/effects.h"

#include <map>

namespace plat {
namespace {

struct EffectState {
  bool host = false;
  std::vector<Effect> recorded;
  std::map<EffectKind, bool> answers;
};

EffectState& State() {
  static EffectState state;
  return state;
}

}  // namespace

void SetHostEffects(bool on) {
  State().host = on;
}

bool HostEffects() {
  return State().host;
}

const std::vector<Effect>& RecordedEffects() {
  return State().recorded;
}

void ClearRecordedEffects() {
  State().recorded.clear();
  State().answers.clear();
}

void SetRecordedAnswer(EffectKind kind, bool success) {
  State().answers[kind] = success;
}

bool RecordEffect(const Effect& effect) {
  EffectState& state = State();
  state.recorded.push_back(effect);
  auto found = state.answers.find(effect.kind);
  return found == state.answers.end() || found->second;
}

}  // namespace plat
