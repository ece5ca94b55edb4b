#pragma once

#include "widetext/wide_string_list.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane {

// A window's restored bounds (edges in screen pixels) and maximized state,
// as the settings file keeps them under a prefix ("form", "searchform").
struct WindowPlacement {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool maximized = false;
};

// A number of the settings file: an optional "+" or "-", then the decimal
// digits up to the first other unit; no digits give 0 ("12px" is 12).
std::int32_t settingsNumber(std::u16string_view text);

WindowPlacement readPlacement(const WideStringList& settings, std::u16string_view prefix);
// Stores prefix_left, _right, _top, _bottom and _max, in that order.
void writePlacement(WideStringList& settings, std::u16string_view prefix,
                    const WindowPlacement& placement);
// Whether the file holds any of the prefix's placement keys.
bool hasPlacement(const WideStringList& settings, std::u16string_view prefix);

// Where the settings are read from and written to.
struct SettingsLocation {
  std::u16string readPath;
  std::u16string writePath;
};

// sorvane.ini in the executable's folder is read whenever it is there and
// readable, and written where it may be (the file may be written, or it can
// be made in that folder). Otherwise, as for a copy installed in a system
// folder, $XDG_CONFIG_HOME/sorvane/sorvane.ini (~/.config when that is
// unset) takes the writes, and the reads when there is no file beside the
// executable.
SettingsLocation settingsLocation(std::u16string_view executableFolder);

// The file's lines; empty when it is missing, unreadable or of odd length.
WideStringList loadSettingsFile(std::u16string_view path);
// Writes the lines, each followed by CR LF, as UTF-16LE without a byte
// order mark, creating the folder; a failed write leaves the old file
// whole, and a read-only file is kept as it is (EACCES). Returns 0 or the
// errno of the failure.
int saveSettingsFile(const WideStringList& settings, std::u16string_view path);

}  // namespace sorvane
