#pragma once
// Sets environment variables for one test and restores them when it ends.
#include <string>
#include <utility>
#include <vector>

class ScopedEnv {
 public:
  ScopedEnv() = default;
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

  // An empty value removes the variable.
  void Set(const std::wstring& name, const std::wstring& value);
  static std::wstring Get(const std::wstring& name);  // empty when unset

 private:
  static void Put(const std::wstring& name, const std::wstring& value, bool present);

  struct Saved {
    std::wstring name;
    std::wstring value;
    bool present;
  };
  std::vector<Saved> saved_;
};
