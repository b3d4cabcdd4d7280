// An ordered list of borrowed object pointers that grows and shrinks one element at a time.
// The list never owns what it points to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace lexo {

template <typename T>
class PtrList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }

  // Callers stay inside 0..Count()-1.
  T* At(int index) const { return items_[static_cast<std::size_t>(index)]; }
  T* First() const { return items_.front(); }
  T* Last() const { return items_.back(); }

  int Append(T* item) {
    items_.push_back(item);
    return Count();
  }

  // Only for 0 <= index < Count(); otherwise nothing changes.
  int InsertAt(int index, T* item) {
    if (index >= 0 && index < Count()) items_.insert(items_.begin() + index, item);
    return Count();
  }

  // Keeps the list ascending by the 32-bit signed value at `byteOffset` inside each item; an
  // item goes after those with an equal value.
  int InsertSorted(T* item, std::size_t byteOffset) {
    const std::int32_t key = KeyOf(item, byteOffset);
    for (int i = 0; i < Count(); ++i) {
      if (KeyOf(At(i), byteOffset) > key) return InsertAt(i, item);
    }
    return Append(item);
  }

  void RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
  }
  void RemoveFirst() { RemoveAt(0); }
  void RemoveLast() { RemoveAt(Count() - 1); }
  void Clear() { items_.clear(); }

  int IndexOf(const T* item) const {
    for (int i = 0; i < Count(); ++i) {
      if (At(i) == item) return i;
    }
    return -1;
  }
  T* NextOf(const T* item) const {
    int index = IndexOf(item);
    return index >= 0 && index + 1 < Count() ? At(index + 1) : nullptr;
  }
  T* PreviousOf(const T* item) const {
    int index = IndexOf(item);
    return index > 0 ? At(index - 1) : nullptr;
  }

  void TakeOver(PtrList& other) { items_.swap(other.items_); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  static std::int32_t KeyOf(const T* item, std::size_t byteOffset) {
    std::int32_t key;
    std::memcpy(&key, reinterpret_cast<const unsigned char*>(item) + byteOffset, sizeof key);
    return key;
  }

  std::vector<T*> items_;
};

}  // namespace lexo
