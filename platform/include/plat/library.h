// Shared libraries loaded at run time by name.
#pragma once

#include <string>
#include <string_view>

namespace plat {

class Library {
 public:
  Library() = default;
  // A name without a folder is looked for beside the executable. A `X.dll` name stands for the
  // shared library this project builds for it (`libx.so` or `x.so`, any case). A missing
  // library gives an unloaded Library, never an error.
  static Library Load(std::string_view nameOrPath);

  ~Library();
  Library(Library&& other) noexcept;
  Library& operator=(Library&& other) noexcept;
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  // The address of an export, or null.
  void* Symbol(const char* name) const;
  template <typename Function>
  Function* Find(const char* name) const {
    return reinterpret_cast<Function*>(Symbol(name));
  }
  void Free();

 private:
  void* handle_ = nullptr;
};

}  // namespace plat
