// Where the program keeps its own few settings between runs, and a store
// that keeps them in memory for tests and the terminal program.
#pragma once

#include <map>
#include <string>

namespace tesselor {

// Where the program's one setting of its own, "Wizard", is kept between runs.
// The desktop program keeps it in its settings file; the default keeps it in
// memory for the length of the run.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  virtual int GetProfileInt(const std::string& name, int defaultValue) const = 0;
  virtual void WriteProfileInt(const std::string& name, int value) = 0;
};

class MemoryProfile : public ProfileStore {
 public:
  int GetProfileInt(const std::string& name, int defaultValue) const override {
    const auto found = values_.find(name);
    return found == values_.end() ? defaultValue : found->second;
  }
  void WriteProfileInt(const std::string& name, int value) override { values_[name] = value; }

 private:
  std::map<std::string, int> values_;
};

}  // namespace tesselor
