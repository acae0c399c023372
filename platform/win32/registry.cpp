#include "platform/registry.h"

#include <algorithm>

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

class RegistryKey {
 public:
  explicit RegistryKey(const std::string& subKey) {
    if (::RegOpenKeyExA(HKEY_USERS, subKey.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

}  // namespace

std::optional<std::string> ReadUserRegistryString(std::string_view subKey,
                                                  std::string_view valueName) {
  RegistryKey key{std::string(subKey)};
  if (key.get() == nullptr) return std::nullopt;
  const std::string name(valueName);
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      !IsStringType(type)) {
    return std::nullopt;
  }
  // The value may change between the two calls; a second size query covers growth.
  std::string value(size + 1, '\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    size = static_cast<DWORD>(value.size());
    LONG result = ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(value.data()), &size);
    if (result == ERROR_MORE_DATA) {
      value.assign(size + 1, '\0');
      continue;
    }
    if (result != ERROR_SUCCESS || !IsStringType(type)) return std::nullopt;
    value.resize(std::min<std::size_t>(size, value.size()));
    // A stored value need not carry its terminator; text ends at the first zero.
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
    return value;
  }
  return std::nullopt;
}

}  // namespace pelmo::platform
