#include "app/settings_profile.h"

namespace tesselor {

int SettingsProfile::GetProfileInt(const std::string& name, int defaultValue) const {
  bool isNumber = false;
  const int value = settings_.value(QString::fromStdString(name)).toInt(&isNumber);
  return isNumber ? value : defaultValue;
}

void SettingsProfile::WriteProfileInt(const std::string& name, int value) {
  settings_.setValue(QString::fromStdString(name), value);
  settings_.sync();
}

}  // namespace tesselor
