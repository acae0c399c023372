#include "platform/last_error.h"

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

std::string ErrorText(DWORD error) {
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, sizeof text, nullptr);
  // The system's text ends with a full stop and a line break.
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                        text[length - 1] == '.' || text[length - 1] == ' ')) {
    --length;
  }
  return std::string(text, length);
}

}  // namespace

void ClearLastError() {
  SetLastError(ERROR_SUCCESS);
}

std::string LastErrorText() {
  const DWORD error = GetLastError();
  return error == ERROR_SUCCESS ? std::string() : ErrorText(error);
}

std::string PathTooLongText() {
  return ErrorText(ERROR_FILENAME_EXCED_RANGE);
}

}  // namespace pelmo::platform
