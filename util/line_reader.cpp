#include "util/line_reader.h"

#include "platform/line_reading.h"

namespace pelmo {

bool ReadTextLine(platform::File& file, std::string& line) {
  return platform::ReadLine(file, line);
}

}  // namespace pelmo
