#include "window/picture_store.h"

#include <algorithm>

#include "plat/cp1251.h"
#include "plat/message_box.h"

namespace lexo {
namespace {

using namespace plat::cp1251::literals;

std::string_view StoreName(std::string_view name) {
  // A resource picture has one entry whatever folder was put in front of its "?".
  auto mark = name.find('?');
  if (mark != std::string_view::npos) name.remove_prefix(mark);
  return name.substr(0, StoredPicture::kMaxName);
}

}  // namespace

int StoredPicture::ClaimsOf(const void* claimant) const {
  for (const auto& [who, count] : claims_) {
    if (who == claimant && claimant) return count;
  }
  return 0;
}

std::size_t StoredPicture::Claimants() const {
  return static_cast<std::size_t>(std::count_if(
      claims_.begin(), claims_.end(), [](const auto& pair) { return pair.first != nullptr; }));
}

PictureStore::PictureStore(bool programResources) : programResources_(programResources) {}

PictureStore::~PictureStore() = default;

std::size_t PictureStore::PictureCount() const {
  return static_cast<std::size_t>(
      std::count_if(slots_.begin(), slots_.end(), [](const auto& p) { return p != nullptr; }));
}

StoredPicture* PictureStore::Find(std::string_view name) const {
  std::string_view key = StoreName(name);
  for (const auto& picture : slots_) {
    if (picture && picture->name_ == key) return picture.get();
  }
  return nullptr;
}

StoredPicture* PictureStore::Acquire(const void* claimant, std::string_view name) {
  if (!claimant || name.empty()) return nullptr;
  std::string_view key = StoreName(name);
  std::size_t freeSlot = slots_.size();
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (!slots_[i]) {
      freeSlot = std::min(freeSlot, i);
      continue;
    }
    if (slots_[i]->name_ == key) {
      return AddClaim(*slots_[i], claimant) ? slots_[i].get() : nullptr;
    }
  }
  if (freeSlot == slots_.size()) {
    if (slots_.size() >= kMaxPictures) {
      plat::ShowMessageBox("Очень много картинок"_cp, "Error!", plat::message_box::kOk);
      return nullptr;
    }
    slots_.emplace_back();
  }
  slots_[freeSlot] = std::make_unique<StoredPicture>(std::string(key));
  if (!AddClaim(*slots_[freeSlot], claimant)) {
    slots_[freeSlot].reset();
    return nullptr;
  }
  return slots_[freeSlot].get();
}

bool PictureStore::AddClaim(StoredPicture& picture, const void* claimant) {
  auto& claims = picture.claims_;
  auto held = std::find_if(claims.begin(), claims.end(),
                           [claimant](const auto& pair) { return pair.first == claimant; });
  if (held != claims.end()) {
    ++held->second;
    return true;
  }
  auto empty = std::find_if(claims.begin(), claims.end(),
                            [](const auto& pair) { return pair.first == nullptr; });
  if (empty != claims.end()) {
    *empty = {claimant, 1};
  } else if (claims.size() >= StoredPicture::kMaxClaimants) {
    plat::ShowMessageBox("Очень много претендентов на картинку"_cp, "Error!",
                         plat::message_box::kOk);
    return false;
  } else {
    claims.emplace_back(claimant, 1);
  }
  // Loaded once; a picture that failed to load is tried again for the next claimant.
  if (picture.bitmap_.IsEmpty()) picture.bitmap_.Load(picture.name_, programResources_);
  return true;
}

void PictureStore::DropClaim(std::size_t slot, const void* claimant, bool all) {
  StoredPicture& picture = *slots_[slot];
  auto& claims = picture.claims_;
  auto held = std::find_if(claims.begin(), claims.end(),
                           [claimant](const auto& pair) { return pair.first == claimant; });
  if (held == claims.end()) return;
  if (all || --held->second <= 0) *held = {nullptr, 0};
  while (!claims.empty() && claims.back().first == nullptr) claims.pop_back();
  if (claims.empty()) {
    slots_[slot].reset();
    while (!slots_.empty() && !slots_.back()) slots_.pop_back();
  }
}

void PictureStore::Release(const void* claimant, StoredPicture* picture) {
  if (!claimant || !picture) return;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].get() == picture) {
      DropClaim(i, claimant, false);
      return;
    }
  }
}

void PictureStore::ReleaseAll(const void* claimant) {
  if (!claimant) return;
  for (std::size_t i = slots_.size(); i-- > 0;) {
    if (i < slots_.size() && slots_[i]) DropClaim(i, claimant, true);
  }
}

}  // namespace lexo
