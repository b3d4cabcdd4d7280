// The shared cache of skins: every window asks for a picture by name and gets the one loaded
// copy; the store counts claims per claimant and frees a picture when its last claim goes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/bitmap.h"

namespace lexo {

class StoredPicture {
 public:
  static constexpr std::size_t kMaxClaimants = 512;
  static constexpr std::size_t kMaxName = 255;

  explicit StoredPicture(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }
  Bitmap& Picture() { return bitmap_; }
  const Bitmap& Picture() const { return bitmap_; }
  // The claimant's count, 0 when it holds none.
  int ClaimsOf(const void* claimant) const;
  // Pairs in use, empty ones between them included.
  std::size_t PairsInUse() const { return claims_.size(); }
  std::size_t Claimants() const;

 private:
  friend class PictureStore;
  Bitmap bitmap_;
  std::vector<std::pair<const void*, int>> claims_;  // null claimant: an empty pair
  std::string name_;
};

class PictureStore {
 public:
  static constexpr std::size_t kMaxPictures = 1024;

  // With `programResources`, "?" names are program resources.
  explicit PictureStore(bool programResources = true);
  ~PictureStore();
  PictureStore(const PictureStore&) = delete;
  PictureStore& operator=(const PictureStore&) = delete;

  // The picture for the name, loaded on first use; null for a null claimant, an empty name
  // or an overflow (reported in a message box).
  StoredPicture* Acquire(const void* claimant, std::string_view name);
  // Drops one claim; a picture the claimant does not hold, or null, is left alone.
  void Release(const void* claimant, StoredPicture* picture);
  // Drops every claim of the claimant on every picture.
  void ReleaseAll(const void* claimant);

  std::size_t SlotsInUse() const { return slots_.size(); }
  std::size_t PictureCount() const;
  StoredPicture* Find(std::string_view name) const;

 private:
  bool AddClaim(StoredPicture& picture, const void* claimant);
  void DropClaim(std::size_t slot, const void* claimant, bool all);

  std::vector<std::unique_ptr<StoredPicture>> slots_;  // null: an empty slot
  bool programResources_;
};

}  // namespace lexo
