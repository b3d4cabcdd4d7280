#include "window/default_window.h"

#include <algorithm>

#include "plat/input.h"

namespace lexo {
namespace {

int Cut16(int value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

}  // namespace

DefaultWindowClass::DefaultWindowClass(const char* className, const plat::Brush* background,
                                       std::optional<plat::CursorShape> cursor, int icon,
                                       std::uint32_t classStyle) {
  (void)icon;  // the program icon is never shown
  // Inside the constructor ClassName() is this class's own answer.
  std::string name = className ? className : DefaultWindowClass::ClassName();
  if (!plat::IsWindowClassRegistered(name)) {
    plat::WindowClassInfo parameters;
    parameters.name = name;
    parameters.style = classStyle;
    parameters.cursor = cursor;
    parameters.background = background ? *background : plat::Brush::White();
    parameters.procedure = &DefaultWindowClass::SharedWindowProcedure;
    plat::RegisterWindowClass(parameters);
  }
}

DefaultWindowClass::DefaultWindowClass(const DefaultWindowClass* parentObject) {
  if (parentObject) {
    kind_ = parentObject->kind_;
    parentWindow_ = parentObject->parentWindow_;
  }
}

DefaultWindowClass::~DefaultWindowClass() {
  DefaultWindowClass::Destroy();
}

const char* DefaultWindowClass::ClassName() const {
  return "DefaultWindowClass";
}

void DefaultWindowClass::SetActive(int flag) {
  active_ = flag;
}

int DefaultWindowClass::IsActive() const {
  return active_;
}

int DefaultWindowClass::Kind() const {
  return kind_;
}

int DefaultWindowClass::Tag() const {
  return tag_;
}

int DefaultWindowClass::Show(int mode) {
  return plat::ShowWindow(window_, static_cast<plat::ShowMode>(mode)) ? 1 : 0;
}

int DefaultWindowClass::Enable(int flag) {
  // The platform answers whether the window was disabled before; only then the flag is kept.
  if (plat::EnableWindow(window_, flag != 0)) {
    enabled_ = flag;
    return 1;
  }
  return 0;
}

int DefaultWindowClass::MoveTo(int x, int y, int width, int height, int repaint) {
  int left = Cut16(x);
  int top = Cut16(y);
  plat::Rect frame{left, top, left + Cut16(width), top + Cut16(height)};
  return plat::MoveWindow(window_, frame, repaint != 0) ? 1 : 0;
}

int DefaultWindowClass::MoveToRect(const plat::Rect& rect, int repaint) {
  plat::Rect frame{rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
  return plat::MoveWindow(window_, frame, repaint != 0) ? 1 : 0;
}

void DefaultWindowClass::Destroy() {
  if (window_) {
    plat::SetWindowSlot(window_, 0);
    if (plat::IsWindow(window_)) plat::DestroyWindow(window_);
  }
  window_ = {};
}

plat::Window DefaultWindowClass::Focus() {
  if (!window_) return {};
  return plat::SetFocus(window_);
}

void DefaultWindowClass::SetParentWindow(plat::Window window) {
  parentWindow_ = window;
}

Answer DefaultWindowClass::OnCreate(plat::Window window) {
  window_ = window;
  return 1;
}

Answer DefaultWindowClass::OnDestroy(FirstParam, SecondParam) {
  window_ = {};
  return 0;
}

Answer DefaultWindowClass::OnClose(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnPaint(FirstParam first, SecondParam second) {
  return Default(plat::msg::kPaint, first, second);
}

Answer DefaultWindowClass::OnEraseBackground(FirstParam first, SecondParam second) {
  return Default(plat::msg::kEraseBackground, first, second);
}

Answer DefaultWindowClass::OnHitTest(FirstParam first, SecondParam second) {
  return Default(plat::msg::kHitTest, first, second);
}

Answer DefaultWindowClass::OnSize(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnTimer(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnCommand(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnMouseMove(FirstParam first, SecondParam second) {
  return Default(plat::msg::kMouseMove, first, second);
}

Answer DefaultWindowClass::OnLeftDown(FirstParam first, SecondParam second) {
  return Default(plat::msg::kLeftDown, first, second);
}

Answer DefaultWindowClass::OnLeftUp(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnLeftDouble(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnRightDown(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnRightUp(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnRightDouble(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnKeyDown(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnKeyUp(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::OnSysKeyDown(FirstParam first, SecondParam second) {
  return Default(plat::msg::kSystemKeyDown, first, second);
}

Answer DefaultWindowClass::OnSysKeyUp(FirstParam first, SecondParam second) {
  return Default(plat::msg::kSystemKeyUp, first, second);
}

Answer DefaultWindowClass::OnMessage(std::uint32_t code, FirstParam first, SecondParam second) {
  if (!window_) return 0;
  return plat::DefaultProcedure(window_, code, first, second);
}

Answer DefaultWindowClass::OnWorkAreaChanged(FirstParam, SecondParam) {
  return 0;
}

Answer DefaultWindowClass::Default(std::uint32_t code, FirstParam first, SecondParam second) {
  return plat::DefaultProcedure(window_, code, first, second);
}

Answer DefaultWindowClass::SharedWindowProcedure(plat::Window window, std::uint32_t code,
                                                 FirstParam first, SecondParam second) {
  namespace msg = plat::msg;
  if (!window) return 0;
  auto* object = reinterpret_cast<DefaultWindowClass*>(plat::WindowSlot(window));
  if (code == msg::kCreate) {
    const auto* record = reinterpret_cast<const plat::CreateRecord*>(second);
    object = record ? static_cast<DefaultWindowClass*>(record->parameter) : nullptr;
    plat::SetWindowSlot(window, reinterpret_cast<std::uintptr_t>(object));
    if (!object) return plat::DefaultProcedure(window, code, first, second);
    return object->OnCreate(window);
  }
  // Before the create message, or once the object let go, only the default procedure serves.
  if (!object || object->window_ != window) {
    return plat::DefaultProcedure(window, code, first, second);
  }
  switch (code) {
    case msg::kDestroy:
      // The binding ends here: OnDestroy forgets the handle, so a later Destroy (from the
      // destructor) could not detach the window, which would then call a deleted object.
      plat::SetWindowSlot(window, 0);
      return object->OnDestroy(first, second);
    case msg::kSize:
      return object->OnSize(first, second);
    case msg::kPaint:
      return object->OnPaint(first, second);
    case msg::kClose:
      return object->OnClose(first, second);
    case msg::kEraseBackground:
      return object->OnEraseBackground(first, second);
    case msg::kSettingChange:
      if (first == plat::kWorkAreaChanged) return object->OnWorkAreaChanged(first, second);
      return object->OnMessage(code, first, second);
    case msg::kHitTest:
      return object->OnHitTest(first, second);
    case msg::kKeyDown:
      return object->OnKeyDown(first, second);
    case msg::kKeyUp:
      return object->OnKeyUp(first, second);
    case msg::kCommand:
      return object->OnCommand(first, second);
    case msg::kTimer:
      return object->OnTimer(first, second);
    case msg::kMouseMove:
      return object->OnMouseMove(first, second);
    case msg::kLeftDown:
      return object->OnLeftDown(first, second);
    case msg::kLeftUp:
      return object->OnLeftUp(first, second);
    case msg::kLeftDouble:
      return object->OnLeftDouble(first, second);
    case msg::kRightDown:
      return object->OnRightDown(first, second);
    case msg::kRightUp:
      return object->OnRightUp(first, second);
    case msg::kRightDouble:
      return object->OnRightDouble(first, second);
    default:
      return object->OnMessage(code, first, second);
  }
}

void DefaultWindowClass::Update() {
  plat::UpdateNow(window_);
}

void DefaultWindowClass::Invalidate(const plat::Rect* rect, bool erase) {
  plat::Invalidate(window_, rect, erase);
}

Answer DefaultWindowClass::Send(std::uint32_t code, FirstParam first, SecondParam second) {
  return plat::SendMessage(window_, code, first, second);
}

bool DefaultWindowClass::Post(std::uint32_t code, FirstParam first, SecondParam second) {
  return plat::PostMessage(window_, code, first, second);
}

plat::Window DefaultWindowClass::CreateOwnWindow(const char* className, std::string_view text,
                                                 std::uint32_t style, std::uint32_t extendedStyle,
                                                 const plat::Rect& frame, plat::Window parent,
                                                 int childId) {
  plat::WindowCreateInfo parameters;
  parameters.className = className ? className : ClassName();
  parameters.text = std::string(text);
  parameters.style = style;
  parameters.extendedStyle = extendedStyle;
  parameters.frame = frame;
  parameters.parent = parent;
  parameters.childId = childId;
  parameters.parameter = this;
  return plat::CreateWindow(parameters);
}

plat::Rect CentreInWorkArea(int wantedWidth, int wantedHeight, int minimumWidth,
                            int minimumHeight) {
  plat::Rect work = plat::WorkArea();
  plat::Rect out;
  if (wantedWidth < work.Width()) {
    out.right = wantedWidth;
    out.left = work.left + (work.Width() - wantedWidth) / 2;
  } else {
    out.left = work.left;
    out.right = std::max(work.Width(), minimumWidth);
  }
  if (wantedHeight < work.Height()) {
    out.bottom = wantedHeight;
    out.top = work.top + (work.Height() - wantedHeight) / 2;
  } else {
    out.top = work.top;
    out.bottom = std::max(work.Height(), minimumHeight);
  }
  return out;
}

void KeepOnScreen(plat::Rect& rect, bool pullBack) {
  plat::Rect work = plat::WorkArea();
  if (pullBack) {
    if (rect.left + rect.right > work.right) rect.left = work.right - rect.right;
    if (rect.top + rect.bottom > work.bottom) rect.top = work.bottom - rect.bottom;
  }
  if (rect.left < work.left) rect.left = work.left;
  if (rect.top < work.top) rect.top = work.top;
}

}  // namespace lexo
