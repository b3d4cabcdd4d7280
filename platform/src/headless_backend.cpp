// The headless backend: the framebuffer is the whole screen, time moves only when a test
// says so, and the layer's modal boxes are answered by script.
#include "plat/headless.h"

#include <deque>

#include "plat/bitmap.h"
#include "plat/effects.h"
#include "plat/input.h"
#include "plat/messages.h"
#include "plat/png_writer.h"
#include "plat/runtime.h"
#include "plat/system.h"
#include "window_manager.h"

namespace plat::headless {
namespace {

struct Script {
  ModalScript modal;
  int starved = 0;
  std::deque<std::optional<std::string>> chooserAnswers;
  bool hostMinimized = false;
};

Script& State() {
  static Script script;
  return script;
}

void Queue(const InputEvent& event) {
  DeliverInput(event);
}

class HeadlessBackend : public Backend {
 public:
  explicit HeadlessBackend(Size size) : size_(size) {}

  Size InitialScreenSize() const override { return size_; }

  void Poll(bool wait, std::optional<std::uint32_t> timeoutMs) override {
    if (!wait) return;
    // Waiting moves the virtual clock to the next timer; with nothing that could ever arrive
    // the loop is told to end instead of hanging.
    if (timeoutMs) {
      AdvanceVirtualClock(*timeoutMs == 0 ? 1 : *timeoutMs);
      return;
    }
    ++State().starved;
    PostQuit(kStarvedExitCode);
  }

  void Present(const PixelSurface&, const Rect&) override {}

  bool AnswerModal(const ModalView& view) override {
    if (State().modal && State().modal(view)) return true;
    if (view.kind == ModalView::Kind::SaveFile || view.kind == ModalView::Kind::Folder) {
      std::optional<std::string> answer;
      if (!State().chooserAnswers.empty()) {
        answer = std::move(State().chooserAnswers.front());
        State().chooserAnswers.pop_front();
      }
      if (answer && wm::AnswerChooser(view.window, *answer)) return true;
    }
    // The default answer: OK for a box, cancel for a menu.
    InputEvent down;
    down.kind = InputEvent::Kind::KeyDown;
    down.key = view.kind == ModalView::Kind::MessageBox ? key::kEnter : key::kEscape;
    InputEvent up = down;
    up.kind = InputEvent::Kind::KeyUp;
    Queue(down);
    Queue(up);
    return true;
  }

  void MinimizeHost() override { State().hostMinimized = true; }

 private:
  Size size_;
};

InputEvent PointerEvent(InputEvent::Kind kind, Point at, MouseButton button) {
  InputEvent event;
  event.kind = kind;
  event.at = at;
  event.button = button;
  return event;
}

}  // namespace

void Start(Size screen) {
  UseVirtualClock(true);
  SetHostEffects(false);
  State().starved = 0;
  State().chooserAnswers.clear();
  State().hostMinimized = false;
  StartWindowing(std::make_unique<HeadlessBackend>(screen));
}

void Stop() {
  StopWindowing();
  State().modal = {};
}

void MovePointer(Point screen) {
  Queue(PointerEvent(InputEvent::Kind::PointerMove, screen, MouseButton::None));
}

void Press(Point screen, MouseButton button) {
  Queue(PointerEvent(InputEvent::Kind::ButtonDown, screen, button));
}

void Release(Point screen, MouseButton button) {
  Queue(PointerEvent(InputEvent::Kind::ButtonUp, screen, button));
}

void Click(Point screen, MouseButton button) {
  Press(screen, button);
  Release(screen, button);
}

void Wheel(int delta) {
  InputEvent event;
  event.kind = InputEvent::Kind::Wheel;
  event.wheelDelta = delta;
  Queue(event);
}

void KeyDown(int virtualKey, bool repeat) {
  InputEvent event;
  event.kind = InputEvent::Kind::KeyDown;
  event.key = virtualKey;
  event.repeat = repeat;
  Queue(event);
}

void KeyUp(int virtualKey) {
  InputEvent event;
  event.kind = InputEvent::Kind::KeyUp;
  event.key = virtualKey;
  Queue(event);
}

void KeyPress(int virtualKey) {
  KeyDown(virtualKey);
  KeyUp(virtualKey);
}

void Type(std::string_view cp1251) {
  InputEvent event;
  event.kind = InputEvent::Kind::Text;
  event.text = std::string(cp1251);
  Queue(event);
}

void HostFocus(bool focused) {
  InputEvent event;
  event.kind = InputEvent::Kind::HostFocus;
  event.down = focused;
  Queue(event);
}

void ResizeScreen(Size size) {
  InputEvent event;
  event.kind = InputEvent::Kind::ScreenResize;
  event.size = size;
  Queue(event);
}

void DeviceRemoved() {
  PostDeviceChange(device_event::kRemovalComplete);
}

void DeviceArrived() {
  PostDeviceChange(device_event::kArrival);
}

bool HostMinimized() {
  return State().hostMinimized;
}

void RestoreHost() {
  State().hostMinimized = false;
  InputEvent event;
  event.kind = InputEvent::Kind::HostRestored;
  Queue(event);
}

void AnswerNextChooser(std::optional<std::string> answer) {
  State().chooserAnswers.push_back(std::move(answer));
}

void Advance(std::uint32_t milliseconds) {
  AdvanceVirtualClock(milliseconds);
}

void RunPending() {
  Message message;
  while (NextMessage(message, true)) {
    if (message.code == msg::kQuit) {
      PostQuit(static_cast<int>(message.first));  // left for a loop of the test
      return;
    }
    TranslateKeys(message);
    Dispatch(message);
  }
}

Colour PixelAt(Point screen) {
  wm::Manager& m = wm::Get();
  if (!Rect{0, 0, m.screenSize.width, m.screenSize.height}.Contains(screen)) return 0xFFFFFFFF;
  return FromPixel(m.Surface().At(screen.x, screen.y) & kPixelMask);
}

bool Screenshot(const std::string& hostPath) {
  return WritePng(hostPath, wm::Get().Surface());
}

bool ScreenshotWindow(Window window, const std::string& hostPath) {
  wm::Manager& m = wm::Get();
  Rect area = WindowRect(window).Intersect({0, 0, m.screenSize.width, m.screenSize.height});
  if (area.IsEmpty()) return false;
  PixelSurface screen = m.Surface();
  PixelSurface part{screen.Row(area.top) + area.left, area.Width(), area.Height(), screen.stride};
  return WritePng(hostPath, part);
}

void SetModalScript(ModalScript script) {
  State().modal = std::move(script);
}

const std::vector<ModalRecord>& ModalRecords() {
  return wm::Get().modalRecords;
}

void ClearModalRecords() {
  wm::Get().modalRecords.clear();
}

int StarvedWaits() {
  return State().starved;
}

}  // namespace plat::headless
