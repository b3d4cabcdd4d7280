// A headless screen per test, and a window class that records what its windows receive.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "plat/headless.h"
#include "plat/input.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "plat/window.h"

namespace wmtest {

struct Seen {
  plat::Window window;
  std::uint32_t code = 0;
  plat::FirstParam first = 0;
  plat::SecondParam second = 0;
  friend bool operator==(const Seen&, const Seen&) = default;
};

// Messages every recording window logs (the rest are too chatty to compare).
inline bool Interesting(std::uint32_t code) {
  using namespace plat::msg;
  switch (code) {
    case kCreate:
    case kDestroy:
    case kActivate:
    case kSetFocus:
    case kKillFocus:
    case kPaint:
    case kEraseBackground:
    case kClose:
    case kNonClientActivate:
    case kKeyDown:
    case kKeyUp:
    case kChar:
    case kSystemKeyDown:
    case kSystemKeyUp:
    case kSystemChar:
    case kCommand:
    case kSystemCommand:
    case kTimer:
    case kMouseMove:
    case kLeftDown:
    case kLeftUp:
    case kLeftDouble:
    case kRightDown:
    case kRightUp:
    case kRightDouble:
    case kMouseWheel:
    case kCaptureChanged:
    case kCancelMode:
    case kMove:
    case kSize:
    case kNonClientLeftDown:
    case kInitMenu:
    case kSettingChange:
      return true;
    default:
      return code >= kUser;
  }
}

inline std::vector<Seen>& Log() {
  static std::vector<Seen> log;
  return log;
}

// Per-window overrides, keyed by window value.
using Handler = std::function<plat::Answer(plat::Window, std::uint32_t, plat::FirstParam,
                                           plat::SecondParam, bool& handled)>;
inline Handler& Hook() {
  static Handler hook;
  return hook;
}

inline plat::Answer Recorder(plat::Window w, std::uint32_t code, plat::FirstParam a,
                             plat::SecondParam b) {
  if (Interesting(code)) Log().push_back({w, code, a, b});
  if (Hook()) {
    bool handled = false;
    plat::Answer answer = Hook()(w, code, a, b, handled);
    if (handled) return answer;
  }
  return plat::DefaultProcedure(w, code, a, b);
}

class Screen : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::headless::Start({320, 240});
    Log().clear();
    Hook() = {};
    plat::WindowClassInfo parameters;
    parameters.name = "Rec";
    parameters.background = plat::Brush::Solid(0x00FFFFFF);
    parameters.procedure = &Recorder;
    plat::RegisterWindowClass(parameters);
    parameters.name = "RecDouble";
    parameters.style = plat::class_style::kDoubleClicks;
    plat::RegisterWindowClass(parameters);
  }
  void TearDown() override {
    Hook() = {};
    plat::headless::Stop();
  }

  static plat::Window Popup(plat::Rect frame, plat::Window owner = {}, bool visible = true,
                            const char* cls = "Rec", std::uint32_t exStyle = 0) {
    plat::WindowCreateInfo parameters;
    parameters.className = cls;
    parameters.style = plat::window_style::kPopup | (visible ? plat::window_style::kVisible : 0);
    parameters.extendedStyle = exStyle;
    parameters.frame = frame;
    parameters.parent = owner;
    return plat::CreateWindow(parameters);
  }
  static plat::Window Child(plat::Window parent, plat::Rect frame, int id = 0,
                            const char* cls = "Rec", std::uint32_t extra = 0) {
    plat::WindowCreateInfo parameters;
    parameters.className = cls;
    parameters.style = plat::window_style::kChild | plat::window_style::kVisible | extra;
    parameters.frame = frame;
    parameters.parent = parent;
    parameters.childId = id;
    return plat::CreateWindow(parameters);
  }
  static std::vector<Seen> Only(std::initializer_list<std::uint32_t> codes) {
    std::vector<Seen> out;
    for (const Seen& s : Log()) {
      for (std::uint32_t c : codes) {
        if (s.code == c) out.push_back(s);
      }
    }
    return out;
  }
  static std::vector<std::uint32_t> Codes(plat::Window w,
                                          std::initializer_list<std::uint32_t> codes) {
    std::vector<std::uint32_t> out;
    for (const Seen& s : Only(codes)) {
      if (s.window == w) out.push_back(s.code);
    }
    return out;
  }
};

}  // namespace wmtest
