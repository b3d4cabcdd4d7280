#include "window/floating_item_window.h"

#include "plat/input.h"
#include "plat/runtime.h"

namespace lexo {

namespace {

namespace tf = plat::text_format;

plat::Rect ScreenBox(const plat::Rect& leftTopSize) {
  return {leftTopSize.left, leftTopSize.top, leftTopSize.left + leftTopSize.right,
          leftTopSize.top + leftTopSize.bottom};
}

}  // namespace

xListItemWindowClass::xListItemWindowClass()
    : DefaultWindowClass("xListItemWindowClass", nullptr, plat::CursorShape::Arrow, 0,
                         plat::class_style::kDoubleClicks) {}

xListItemWindowClass::~xListItemWindowClass() {
  Destroy();
}

bool xListItemWindowClass::Create(plat::Window mainWindow, std::shared_ptr<const plat::Font> font) {
  font_ = std::move(font);
  return static_cast<bool>(
      CreateOwnWindow(ClassName(), "", plat::window_style::kPopup, 0, {0, 0, 1, 1}, mainWindow));
}

void xListItemWindowClass::PlaceAndShow(const plat::Rect& screenRect) {
  plat::Placement placement;
  placement.order = plat::ZOrder::Topmost;
  placement.frame = screenRect;
  placement.show = true;
  placement.noActivate = true;
  plat::PlaceWindow(window_, placement);
  // Tooltips let the mouse through; the other modes follow it.
  if (mode_ != 2 && mode_ != 5) plat::SetCapture(window_);
}

plat::Window xListItemWindowClass::OwnerWindow() const {
  if (mode_ == 1 && source_) return source_->SourceWindow();
  return ownerWindow_;
}

SecondParam xListItemWindowClass::ToOwner(SecondParam point) const {
  plat::Point p = plat::UnpackPoint(point);
  return plat::PackPoint({p.x + offset_.x, p.y + offset_.y});
}

void xListItemWindowClass::ShowListItem(FloatingItemSource* source, int item,
                                        const plat::Rect& itemScreenRect,
                                        const plat::Rect& freeScreenRect,
                                        std::shared_ptr<const plat::Font> listFont, bool selected) {
  if (!window_ || !source) return;
  mode_ = 1;
  source_ = source;
  itemFont_ = std::move(listFont);
  selected_ = selected;
  text_ = source->ItemText(item);
  freeRect_ = freeScreenRect;
  plat::Point origin = plat::ClientToScreen(source->SourceWindow(), {0, 0});
  offset_ = {itemScreenRect.left - origin.x, itemScreenRect.top - origin.y};
  unrolling_ = false;
  PlaceAndShow(itemScreenRect);
  plat::Invalidate(window_, nullptr, true);
  Update();
}

void xListItemWindowClass::ShowRequestItem(plat::Window listWindow,
                                           const FloatingItemRequest& request,
                                           const plat::Rect& freeScreenRect) {
  if (!window_ || plat::FocusWindow() != listWindow) return;
  mode_ = 3;
  source_ = nullptr;
  ownerWindow_ = listWindow;
  request_ = request;
  text_ = request.text;
  freeRect_ = freeScreenRect;
  plat::Point origin = plat::ClientToScreen(listWindow, {0, 0});
  offset_ = {request.itemRect.left - origin.x, request.itemRect.top - origin.y};
  unrolling_ = false;
  PlaceAndShow(request.itemRect);
  plat::Invalidate(window_, nullptr, true);
  Update();
}

void xListItemWindowClass::ShowTextBox(int mode, plat::Window owner,
                                       const FloatingItemRequest& request) {
  if (!window_) return;
  mode_ = mode == 6 ? 6 : 4;
  source_ = nullptr;
  ownerWindow_ = owner;
  request_ = request;
  text_ = request.text;
  plat::Canvas measure;
  measure.SelectFont(font_);
  plat::Rect extent{0, 0, request.wrapWidth, 0};
  measure.DrawText(text_, extent, tf::kWordBreak | tf::kCalculateRect | tf::kNoPrefix);
  plat::Point pointer = plat::PointerPosition();
  plat::Rect box{pointer.x + 16, pointer.y + 16, extent.Width() + 2 * request.padding,
                 extent.Height() + 2 * request.padding};
  // Back inside the screen first, then kept inside the work area.
  plat::Size screen = plat::ScreenSize();
  if (box.left + box.right > screen.width) box.left = screen.width - box.right;
  if (box.top + box.bottom > screen.height) box.top = screen.height - box.bottom;
  KeepOnScreen(box, true);
  plat::Point origin = plat::ClientToScreen(owner, {0, 0});
  offset_ = {box.left - origin.x, box.top - origin.y};
  unrolling_ = false;
  PlaceAndShow(ScreenBox(box));
  plat::Invalidate(window_, nullptr, true);
  Update();
}

void xListItemWindowClass::ShowTooltip(int mode, std::string_view text, plat::Window owner) {
  if (!window_ || text.empty()) return;
  mode_ = mode == 5 ? 5 : 2;
  source_ = nullptr;
  ownerWindow_ = owner;
  text_ = std::string(text);
  plat::Canvas measure;
  measure.SelectFont(font_);
  plat::Rect extent{0, 0, 240, 10};
  measure.DrawText(text_, extent, tf::kCalculateRect | tf::kNoPrefix);
  plat::Point pointer = plat::PointerPosition();
  plat::Rect box{pointer.x + 16, pointer.y + 16, extent.Width() + 4, extent.Height() + 2};
  KeepOnScreen(box, true);
  plat::Point origin = plat::ClientToScreen(owner, {0, 0});
  offset_ = {box.left - origin.x, box.top - origin.y};

  // Unroll: one pixel high at first, then a pixel a step once the delay has passed.
  unrollHeight_ = box.bottom;
  unrolling_ = true;
  std::uint32_t start = plat::TickCount();
  PlaceAndShow({box.left, box.top, box.left + box.right, box.top + 1});
  Update();
  while (plat::TickCount() - start < static_cast<std::uint32_t>(kUnrollDelay)) {
    plat::BusyWaitStep();
  }
  for (int height = 2; height <= unrollHeight_ && window_; ++height) {
    plat::MoveWindow(window_, {box.left, box.top, box.left + box.right, box.top + height}, true);
    Update();
    plat::BusyWaitStep();
  }
  if (!window_) return;
  PlaceAndShow(ScreenBox(box));
  unrolling_ = false;
}

void xListItemWindowClass::HideItem() {
  if (!window_) return;
  if (plat::CaptureWindow() == window_) plat::ReleaseCapture();
  plat::ShowWindow(window_, plat::ShowMode::Hide);
}

void xListItemWindowClass::DrawTooltip(plat::Canvas& canvas, int height) {
  plat::Rect client = plat::ClientRect(window_);
  canvas.FillRect(client, plat::Brush::Solid(kUnrollBack));
  canvas.FrameRect(client, plat::Brush::Black());
  canvas.SelectFont(font_);
  canvas.SetBackMode(plat::BackgroundMode::Transparent);
  canvas.SetTextColour(0);
  // A band of the full height ending at the bottom edge: the text slides down as it grows.
  plat::Rect band{2, height - unrollHeight_, client.right - 2, height};
  canvas.DrawText(text_, band, tf::kSingleLine | tf::kCentre | tf::kVerticalCentre | tf::kNoPrefix);
}

void xListItemWindowClass::DrawPicture(plat::Canvas& canvas, bool normalColours) {
  plat::Rect client = plat::ClientRect(window_);
  switch (mode_) {
    case 1: {
      bool selected = selected_ && !normalColours;
      canvas.FillRect(client, plat::Brush::Solid(selected ? selectedBack_ : normalBack_));
      canvas.SelectFont(itemFont_ ? itemFont_ : font_);
      canvas.SetBackMode(plat::BackgroundMode::Transparent);
      canvas.SetTextColour(selected ? selectedText_ : normalText_);
      canvas.TextOut({4, 1}, text_);
      canvas.FrameRect(client, frameBrush_);
      break;
    }
    case 2:
    case 5:
      DrawTooltip(canvas, client.Height());
      break;
    case 3:
      if (request_.backColour != -1) {
        canvas.FillRect(client, plat::Brush::Solid(static_cast<plat::Colour>(request_.backColour)));
      }
      canvas.SelectFont(font_);
      canvas.SetBackMode(plat::BackgroundMode::Transparent);
      canvas.SetTextColour(normalColours ? normalText_ : request_.textColour);
      canvas.TextOut({0, 0}, text_);
      canvas.FrameRect(client, frameBrush_);
      break;
    case 4:
    case 6: {
      if (request_.background) canvas.FillRect(client, *request_.background);
      canvas.FrameRect(client, request_.frame);
      canvas.SelectFont(font_);
      canvas.SetBackMode(plat::BackgroundMode::Transparent);
      canvas.SetTextColour(request_.textColour);
      plat::Rect text{request_.padding, request_.padding, client.right - request_.padding,
                      client.bottom - request_.padding};
      canvas.DrawText(text_, text, tf::kWordBreak | tf::kNoPrefix);
      break;
    }
    default:
      break;
  }
}

Answer xListItemWindowClass::OnEraseBackground(FirstParam first, SecondParam second) {
  if (!unrolling_) return DefaultWindowClass::OnEraseBackground(first, second);
  auto* canvas = reinterpret_cast<plat::Canvas*>(first);
  if (canvas) DrawTooltip(*canvas, plat::ClientRect(window_).Height());
  return 1;
}

Answer xListItemWindowClass::OnPaint(FirstParam, SecondParam) {
  plat::PaintScope scope(window_);
  if (!unrolling_) DrawPicture(scope.GetCanvas(), false);
  return 0;
}

Answer xListItemWindowClass::OnMouseMove(FirstParam first, SecondParam second) {
  if (mode_ == 2 || mode_ == 4 || mode_ == 5) {
    return plat::SendMessage(OwnerWindow(), plat::msg::kMouseMove, first, ToOwner(second));
  }
  plat::Point screen = plat::ClientToScreen(window_, plat::UnpackPoint(second));
  if (freeRect_.Contains(screen)) return 0;
  SecondParam forwarded = ToOwner(second);
  FloatingItemSource* source = source_;
  int mode = mode_;
  HideItem();
  if (mode == 1 && source) {
    source->RedrawItems();
    source->ItemMouseMove(first, forwarded);
  } else if (mode == 3) {
    plat::SendMessage(ownerWindow_, plat::msg::kMouseMove, first, forwarded);
  }
  return 0;
}

Answer xListItemWindowClass::OnLeftDown(FirstParam first, SecondParam second) {
  SecondParam forwarded = ToOwner(second);
  int mode = mode_;
  if (mode == 1) {
    if (source_) source_->ItemButtonDown(first, forwarded);
  } else {
    plat::SendMessage(OwnerWindow(), plat::msg::kLeftDown, first, forwarded);
  }
  if ((mode == 1 || mode == 3) && window_ && plat::IsWindowVisible(window_)) {
    plat::WindowCanvas canvas(window_);
    DrawPicture(canvas.GetCanvas(), true);
  }
  return 0;
}

Answer xListItemWindowClass::OnLeftUp(FirstParam first, SecondParam second) {
  if (mode_ == 1) {
    if (source_) source_->ItemButtonUp(first, ToOwner(second));
  } else if (mode_ == 3 || mode_ == 6) {
    plat::SendMessage(ownerWindow_, plat::msg::kLeftUp, first, ToOwner(second));
  }
  return 0;
}

Answer xListItemWindowClass::OnLeftDouble(FirstParam first, SecondParam second) {
  if (mode_ == 1 && source_) {
    source_->ItemDoubleClick(first, ToOwner(second));
  } else {
    plat::SendMessage(OwnerWindow(), plat::msg::kLeftDouble, first, ToOwner(second));
  }
  return 0;
}

Answer xListItemWindowClass::OnMessage(std::uint32_t code, FirstParam first, SecondParam second) {
  if (code == plat::msg::kSetFocus) {
    // The focus goes back to what the window stands for.
    plat::Window owner = OwnerWindow();
    if (owner) plat::SetFocus(owner);
    return 0;
  }
  if (code == plat::msg::kCancelMode) {
    HideItem();
    return 0;
  }
  return DefaultWindowClass::OnMessage(code, first, second);
}

}  // namespace lexo
