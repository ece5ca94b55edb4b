// Writes the small seed corpora of the fuzz targets: well-formed QM files of
// every record shape and a few texts with every kind of line end.

#include "support/qm_bytes_builder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace sorvane::test;

void write(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_seeds QM_SEED_FOLDER TEXT_SEED_FOLDER\n");
    return 2;
  }
  const std::filesystem::path qm = argv[1];
  const std::filesystem::path text = argv[2];
  std::filesystem::create_directories(qm);
  std::filesystem::create_directories(text);

  write(qm / "plain.qm", buildQm({{0x12345678, u"Hi", "", ""}}));
  write(qm / "shapes.qm", buildQm({{1, u"one", "", ""},
                                   {2, u"two\nlines", "Section", ""},
                                   {3, u"\u00FCber", "Source", "Context"}},
                                  Bytes{0, 1, 2, 3}));
  write(qm / "shared.qm",
        assembleQm({.index = {{1, 0}, {2, 0}}, .messages = writerRecord(1, u"x")}));
  write(qm / "comment.qm", assembleQm({.index = {{1, 0}},
                                       .messages = join({translationItem(u"c"),
                                                         byteTextItem(0x08, "x"),
                                                         byteTextItem(0x06, std::string("s\0", 2)),
                                                         {0x05}})}));
  // Many entries sharing one long record, in and out of order.
  QmParts amplified{.messages = join({writerRecord(1, std::u16string(4000, u'a'), "Sec"),
                                      writerRecord(2, u"b", std::string(3000, 's'))})};
  for (std::uint32_t i = 0; i < 2000; ++i) amplified.index.push_back({i, i % 3 == 0 ? 8020U : 0U});
  write(qm / "amplified.qm", assembleQm(amplified));
  // Qt's own shape: language block, plural forms, "no translation", a
  // comment, source text and context, Qt's end tag, numerus rules.
  const Bytes qtRecord = join({translationItem(u"one"),
                               {0x03, 0xFF, 0xFF, 0xFF, 0xFF},
                               translationItem(u"many"),
                               byteTextItem(0x08, "verb"),
                               byteTextItem(0x06, "Open"),
                               byteTextItem(0x07, "Main"),
                               {0x01}});
  const Bytes plainQt = assembleQm({.index = {{1, 0}}, .messages = qtRecord});
  write(qm / "qt.qm", join({Bytes(plainQt.begin(), plainQt.begin() + 16),
                            {0xA7, 0, 0, 0, 2, 'd', 'e'},
                            Bytes(plainQt.begin() + 16, plainQt.end()),
                            {0x88, 0, 0, 0, 2, 1, 2}}));
  write(qm / "padded.qm",
        assembleQm(
            {.index = {{5, 0}}, .indexPadding = {0, 0, 0, 0}, .messages = writerRecord(5, u"p")}));

  write(text / "lines.txt", utf16Le(u"a\r\nb\rc\nd\r\r\ne"));
  write(text / "bom.txt", utf16Le(u"\uFEFFk=v\r\nname=a=b\r\n"));
  write(text / "nul.txt", utf16Le(std::u16string(u"x\0\ny\r\0z", 7)));
  return 0;
}
