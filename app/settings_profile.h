// The document's "Wizard" value, kept in the program's settings file.
#pragma once

#include <QSettings>

#include "engine/profile_store.h"

namespace tesselor {

class SettingsProfile : public ProfileStore {
 public:
  explicit SettingsProfile(QSettings& settings) : settings_(settings) {}

  // A value that is missing or not a number reads as the default.
  int GetProfileInt(const std::string& name, int defaultValue) const override;
  void WriteProfileInt(const std::string& name, int value) override;

 private:
  QSettings& settings_;
};

}  // namespace tesselor
