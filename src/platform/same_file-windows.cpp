#include "platform/same_file.h"

#include <cstdio>
#include <cstring>

#include "platform/text_case.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform {

// NTFS and FAT compare names by upper-casing them one UTF-16 unit at a time,
// as upperCase does.
std::string comparablePath(std::string_view path) { return upperCase(path); }

std::string fileIdentity(const std::string& path) {
  if (path.empty()) return "";
  HANDLE handle = ::CreateFileW(widePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return "";
  // The 128-bit id first (ReFS needs it); the volume serial and 64-bit index
  // where the system has no such call.
  char text[80] = {};
  FILE_ID_INFO id{};
  BY_HANDLE_FILE_INFORMATION information{};
  if (::GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
    unsigned long long high = 0, low = 0;
    static_assert(sizeof id.FileId.Identifier == 2 * sizeof low);
    std::memcpy(&low, id.FileId.Identifier, sizeof low);
    std::memcpy(&high, id.FileId.Identifier + sizeof low, sizeof high);
    // A file system that numbers no file gives 0, which would make every
    // file of the volume one.
    if (high != 0 || low != 0) {
      std::snprintf(text + 1, sizeof text - 1, "%llx:%llx%016llx",
                    static_cast<unsigned long long>(id.VolumeSerialNumber), high, low);
    }
  } else if (::GetFileInformationByHandle(handle, &information) &&
             (information.nFileIndexHigh != 0 || information.nFileIndexLow != 0)) {
    std::snprintf(text + 1, sizeof text - 1, "%lx:%lx%08lx", static_cast<unsigned long>(information.dwVolumeSerialNumber),
                  static_cast<unsigned long>(information.nFileIndexHigh),
                  static_cast<unsigned long>(information.nFileIndexLow));
  }
  ::CloseHandle(handle);
  // A NUL first: no path holds one.
  return text[1] == '\0' ? std::string() : std::string(1, '\0') + (text + 1);
}

}  // namespace quorbix::platform
