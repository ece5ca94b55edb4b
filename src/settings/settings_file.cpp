#include "settings/settings_file.h"

#include "platform/path_codec.h"
#include "platform/paths.h"
#include "platform/safe_file_writer.h"
#include "platform/user_folders.h"

#include <cerrno>
#include <limits>
#include <vector>

namespace sorvane {

namespace {

std::u16string key(std::u16string_view prefix, std::u16string_view suffix) {
  return std::u16string(prefix) + std::u16string(suffix);
}

constexpr std::u16string_view kEdges[] = {u"_left", u"_right", u"_top", u"_bottom"};
constexpr std::u16string_view kFileName = u"sorvane.ini";

}  // namespace

std::int32_t settingsNumber(std::u16string_view text) {
  std::size_t at = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (!text.empty() && (text[0] == u'+' || text[0] == u'-')) ++at;
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    value = std::min(kLimit, value * 10 + (text[at] - u'0'));
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

WindowPlacement readPlacement(const WideStringList& settings, std::u16string_view prefix) {
  WindowPlacement placement;
  std::int32_t* edges[] = {&placement.left, &placement.right, &placement.top, &placement.bottom};
  for (std::size_t i = 0; i < 4; ++i) {
    *edges[i] = settingsNumber(settings.getValue(key(prefix, kEdges[i])));
  }
  placement.maximized = settings.getValue(key(prefix, u"_max")) == u"1";
  return placement;
}

void writePlacement(WideStringList& settings, std::u16string_view prefix,
                    const WindowPlacement& placement) {
  const std::int32_t edges[] = {placement.left, placement.right, placement.top, placement.bottom};
  for (std::size_t i = 0; i < 4; ++i) {
    const std::string number = std::to_string(edges[i]);
    settings.setValue(key(prefix, kEdges[i]), std::u16string(number.begin(), number.end()));
  }
  settings.setValue(key(prefix, u"_max"), placement.maximized ? u"1" : u"0");
}

bool hasPlacement(const WideStringList& settings, std::u16string_view prefix) {
  for (std::u16string_view suffix : {u"_left", u"_right", u"_top", u"_bottom", u"_max"}) {
    if (settings.indexOfName(key(prefix, suffix)) >= 0) return true;
  }
  return false;
}

SettingsLocation settingsLocation(std::u16string_view executableFolder) {
  std::u16string beside(executableFolder);
  if (!beside.empty() && beside.back() != u'/') beside.push_back(u'/');
  beside += kFileName;
  const bool besideExists = !executableFolder.empty() && isExistingFile(beside);
  if (!executableFolder.empty() && (besideExists ? canWrite(beside) : canWrite(executableFolder))) {
    return {beside, beside};
  }
  // Without a home folder there is nowhere else to keep them.
  const std::u16string folder = programFolder("XDG_CONFIG_HOME", u".config");
  const std::u16string config =
      folder.empty() ? std::u16string() : folder + u"/" + std::u16string(kFileName);
  return {besideExists && canRead(beside) ? beside : config, config};
}

WideStringList loadSettingsFile(std::u16string_view path) {
  WideStringList settings;
  if (!settings.loadFromFile(path)) settings.clear();
  return settings;
}

int saveSettingsFile(const WideStringList& settings, std::u16string_view path) {
  if (path.empty()) return ENOENT;
  const std::u16string_view folder = folderPart(path);
  if (!folder.empty() && !isFolder(folder) && !createFolders(folder)) return ENOENT;
  const std::u16string text = settings.joinedText();
  std::vector<std::uint8_t> bytes;
  bytes.reserve(2 * text.size());
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return replaceFileContents(path, bytes, {.keepReadOnly = true});
}

}  // namespace sorvane
