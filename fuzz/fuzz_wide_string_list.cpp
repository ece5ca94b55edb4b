// Splits arbitrary UTF-16 texts into lines, directly and through a stream
// appended to existing lines, and checks the invariants of the result.

#include "fuzz_support.h"
#include "widetext/byte_stream.h"
#include "widetext/wide_string_list.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void checkLines(const sorvane::WideStringList& list, std::size_t textUnits) {
  using namespace sorvane;
  if (static_cast<std::size_t>(list.count()) > textUnits + 1) std::abort();
  std::size_t units = 0;
  for (std::int32_t i = 0; i < list.count(); ++i) {
    const std::u16string_view line = list.view(i);
    if (line.find(u'\0') != std::u16string_view::npos) std::abort();
    units += line.size();
  }
  if (units > textUnits) std::abort();
  // Joining and splitting again is stable once lines hold no CR.
  WideStringList again;
  again.setText(list.joinedText());
  WideStringList twice;
  twice.setText(again.joinedText());
  if (again.joinedText() != twice.joinedText()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvane;
  std::u16string text(size / 2, u'\0');
  if (!text.empty()) std::memcpy(text.data(), data, text.size() * 2);

  WideStringList list;
  list.setText(text);
  checkLines(list, text.size());

  const std::u16string path = fuzz::writeInputFile(data, size);
  WideStringList appended;
  appended.add(u"first");
  appended.add(u"a\rb");
  ByteStream stream = ByteStream::openForReading(path);
  if (!stream.isOpen()) std::abort();
  const StreamLoadResult result = appended.appendFromStream(stream);
  if (size % 2 != 0) {
    if (result || appended.count() != 2) std::abort();
  } else if (!result) {
    std::abort();
  } else if (size == 0 ? appended.count() != 2 : appended.count() < 4) {
    std::abort();
  }

  appended.setValue(u"k", text);
  if (appended.getValue(u"k") != std::u16string_view(text).substr(0, text.find(u'\0'))) {
    std::abort();
  }
  return 0;
}
