#include "ui/win32/dialog_controls.h"

#include <algorithm>
#include <climits>
#include <string>

#include "res/resource.h"
#include "ui/bookmark_file_kinds.h"

namespace pelmo::ui {
namespace {

constexpr std::size_t kPathBufferSize = MAX_PATH;
// The structure as the Windows 95 family knows it, without the later members.
constexpr DWORD kOpenFileNameSize = 76;
constexpr DWORD kOpenFileFlags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;

// Frees the item list that the folder browser hands back.
struct ItemListOwner {
  LPITEMIDLIST list;
  ~ItemListOwner() {
    if (list != nullptr) ::CoTaskMemFree(list);
  }
};

}  // namespace

void Win32DialogControls::setText(int controlId, std::string_view text) {
  const std::string terminated(text);
  ::SetWindowTextA(::GetDlgItem(dialog_, controlId), terminated.c_str());
}

std::string Win32DialogControls::getText(int controlId, std::size_t capacity) {
  if (capacity == 0) return std::string();
  std::string text(capacity, '\0');
  const int length = ::GetWindowTextA(::GetDlgItem(dialog_, controlId), text.data(),
                                      static_cast<int>(std::min<std::size_t>(capacity, INT_MAX)));
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

void Win32DialogControls::checkRadio(int firstId, int lastId, int checkedId) {
  ::CheckRadioButton(dialog_, firstId, lastId, checkedId);
}

bool Win32DialogControls::isChecked(int controlId) {
  return ::IsDlgButtonChecked(dialog_, controlId) == BST_CHECKED;
}

void Win32DialogControls::enable(int controlId, bool enabled) {
  ::EnableWindow(::GetDlgItem(dialog_, controlId), enabled ? TRUE : FALSE);
}

void Win32DialogControls::end(int result) {
  ::EndDialog(dialog_, result);
}

std::optional<std::string> Win32DialogControls::browseFolder(std::string_view title) {
  char path[kPathBufferSize] = {};
  const std::string caption(title);
  BROWSEINFOA info{};
  info.hwndOwner = dialog_;
  info.pszDisplayName = path;
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  ItemListOwner chosen{::SHBrowseForFolderA(&info)};
  if (chosen.list == nullptr || !::SHGetPathFromIDListA(chosen.list, path)) return std::nullopt;
  return std::string(path);
}

std::optional<std::string> Win32DialogControls::browseFile(std::string_view title,
                                                           std::string_view directory,
                                                           std::string_view fileName) {
  char file[kPathBufferSize] = {};
  fileName.copy(file, std::min(fileName.size(), kPathBufferSize - 1));
  const std::string initialDirectory(directory);
  const std::string caption(title);
  // Favourites to Bookmarks writes HTML only: the browsers' stores are not offered.
  const std::string filter = Win32ChooserFilter(
      isChecked(IDC_BOOKMARKS_TO_FAVOURITES) ? BookmarkFileUse::Read : BookmarkFileUse::Written);
  OPENFILENAMEA request{};
  request.lStructSize = kOpenFileNameSize;
  request.hwndOwner = dialog_;
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = 0;
  request.lpstrFile = file;
  request.nMaxFile = kPathBufferSize;
  request.lpstrInitialDir = initialDirectory.c_str();
  request.lpstrTitle = caption.c_str();
  request.Flags = kOpenFileFlags;
  if (!::GetOpenFileNameA(&request)) return std::nullopt;
  return std::string(file);
}

bool Win32DialogControls::isDirectory(std::string_view name) {
  const std::string terminated(name);
  const DWORD attributes = ::GetFileAttributesA(terminated.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace pelmo::ui
