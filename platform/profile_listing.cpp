#include "platform/posix/profile_parser.h"
#include "platform/profile.h"

namespace pelmo::platform {

// A listing reaches its files without a path to hand to a system's profile reader, so
// the file is read through the listing and searched by the portable reader of the
// same rules, on every system.
ProfileLookup ReadProfileStringAt(const DirectoryListing& directory, std::string_view fileName,
                                  std::string_view section, std::string_view key, std::size_t limit,
                                  ReadBuffer& buffer) {
  ProfileLookup lookup;
  lookup.status = directory.readFile(fileName, limit, buffer);
  if (lookup.status == FileReadStatus::Read) {
    lookup.value = FindProfileValue(buffer.bytes(), section, key);
  }
  return lookup;
}

}  // namespace pelmo::platform
