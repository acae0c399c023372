// Turns the dialog templates of a resource script into the C++ table that the desktop
// backend lays its windows out from:
//   pelmo_rc_table SCRIPT [-I DIR]... -o OUTPUT.cpp
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/rc_table/rc_reader.h"

namespace {

std::string CxxString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\%03o", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

void WriteTable(std::ostream& out, const pelmo::rc::Resources& resources) {
  out << "// Generated from res/pelmo.rc at build time; edit the script, not this file.\n"
         "#include \"ui/dialog_template.h\"\n\n"
         "namespace pelmo::ui {\nnamespace {\n\n";
  for (const pelmo::rc::Dialog& dialog : resources.dialogs) {
    if (dialog.controls.empty()) continue;
    out << "constexpr ControlTemplate kDialog" << dialog.id << "Controls[] = {\n";
    for (const pelmo::rc::Control& c : dialog.controls) {
      out << "    {" << CxxString(c.text) << ", " << c.id << ", " << CxxString(c.windowClass)
          << ", " << Hex(c.style) << ", " << c.x << ", " << c.y << ", " << c.width << ", "
          << c.height << "},\n";
    }
    out << "};\n\n";
  }
  out << "constexpr DialogTemplate kDialogs[] = {\n";
  for (const pelmo::rc::Dialog& d : resources.dialogs) {
    out << "    {" << d.id << ", " << Hex(d.style) << ", " << CxxString(d.caption) << ", "
        << d.pointSize << ", " << CxxString(d.fontName) << ", " << d.x << ", " << d.y << ", "
        << d.width << ", " << d.height << ", ";
    if (d.controls.empty()) {
      out << "{}},\n";
    } else {
      out << "kDialog" << d.id << "Controls},\n";
    }
  }
  out << "};\n\n}  // namespace\n\n"
         "const DialogTemplate* FindDialogTemplate(int id) {\n"
         "  for (const DialogTemplate& dialog : kDialogs) {\n"
         "    if (dialog.id == id) return &dialog;\n"
         "  }\n"
         "  return nullptr;\n"
         "}\n\n"
         "}  // namespace pelmo::ui\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::string script;
  std::string output;
  std::vector<std::filesystem::path> includeDirs;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "-I" || arg == "-o") && i + 1 < argc) {
      if (arg == "-I") {
        includeDirs.emplace_back(argv[++i]);
      } else {
        output = argv[++i];
      }
    } else {
      script = arg;
    }
  }
  if (script.empty() || output.empty()) {
    std::fprintf(stderr, "usage: %s SCRIPT [-I DIR]... -o OUTPUT.cpp\n", argv[0]);
    return 2;
  }
  std::string error;
  std::optional<pelmo::rc::Resources> resources =
      pelmo::rc::ReadResourceScript(script, includeDirs, error);
  if (!resources) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  WriteTable(out, *resources);
  out.close();
  if (!out) {
    std::fprintf(stderr, "%s: cannot be written\n", output.c_str());
    std::remove(output.c_str());
    return 1;
  }
  return 0;
}
