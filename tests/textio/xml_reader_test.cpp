#include "support/pugixml_exchange_reference.h"
#include "textio/xml_exchange.h"

#include "platform/system_error.h"
#include "platform/utf8.h"
#include "textio/xml_pull_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace sorvane::test {
namespace {

enum class Kind { xliff, ts };

std::optional<std::vector<ReadUnit>> ours(Kind kind, const std::string& text, std::string& error) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  const std::optional<ReadUnits> units =
      kind == Kind::xliff ? readXliff(bytes, error) : readTs(bytes, error);
  if (!units) return std::nullopt;
  return units->held();
}

std::optional<std::vector<ReadUnit>> reference(Kind kind, const std::string& text,
                                               std::string& error) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  return kind == Kind::xliff ? readXliffWithPugixml(bytes, error) : readTsWithPugixml(bytes, error);
}

void expectSameUnits(const std::vector<ReadUnit>& got, const std::vector<ReadUnit>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(got[i].id, want[i].id);
    EXPECT_EQ(got[i].keyed, want[i].keyed);
    EXPECT_EQ(got[i].fuzzy, want[i].fuzzy);
    EXPECT_EQ(got[i].line, want[i].line);
    EXPECT_EQ(got[i].sources, want[i].sources);
    EXPECT_EQ(got[i].translations, want[i].translations);
  }
}

struct Document {
  const char* what;
  Kind kind;
  std::string text;
};

const std::string kXliffStart = "<?xml version=\"1.0\"?>\n<xliff version=\"1.2\"><file><body>\n";
const std::string kXliffEnd = "</body></file></xliff>\n";

// Documents that tools may write, each read by the streaming reader as
// pugixml's tree gave it.
const std::vector<Document> kDocuments = {
    {"xliff, entities, references and CDATA", Kind::xliff,
     kXliffStart +
         "<trans-unit id='a&amp;b'><source>&lt;b&gt; &quot;x&quot; &apos;&#65;&#x42;&#x1F600;"
         "</source><target state=\"translated\"><![CDATA[<i>&amp;</i>]]> &unknown; &#xZZ; "
         "&</target></trans-unit>\n" +
         kXliffEnd},
    {"xliff, comments, instructions, a DOCTYPE with a subset, CR LF", Kind::xliff,
     "<?xml version=\"1.0\"?>\r\n<!DOCTYPE xliff [ <!ENTITY e \"]>\"> ]>\r\n<!-- c -->"
     "<xliff><?pi x?><file><body>\r\n<trans-unit id=\"k\">\r\n<!-- note --><source>one\r\ntwo"
     "\rthree</source>\r\n<target>a\r\nb</target></trans-unit>\r\n</body></file></xliff>"},
    {"xliff, target before source, second source, nested markup, escapes", Kind::xliff,
     kXliffStart +
         "<trans-unit id=\"k\" approved=\"no\"><target state=\"needs-l10n\">T<g id=\"1\">"
         "in<x ctype=\"x-sorvane-char-01\">gone</x>side</g><byte value=\"x7f\"/></target>"
         "<source>S1</source><source>S2</source><note>n</note></trans-unit>\n"
         "<trans-unit><source>no id</source></trans-unit>\n"
         "<group id=\"p\" restype=\"x-gettext-plurals\"><trans-unit id=\"p[0]\"><source>one"
         "</source><target>eins</target></trans-unit><note><trans-unit id=\"deep\"/></note>"
         "<trans-unit id=\"p[1]\"><target state=\"translated\">viele</target></trans-unit>"
         "</group>\n<group id=\"plain\"><trans-unit id=\"inner\"><source>i</source>"
         "<target>j</target></trans-unit></group>\n" +
         kXliffEnd},
    {"xliff, white space kept, attributes spread over lines", Kind::xliff,
     kXliffStart +
         "<trans-unit\n  id = \"sp\"\n\tapproved='yes'><source>  </source>"
         "<target state=\"x\">\n</target></trans-unit><empty/>\n" +
         kXliffEnd},
    {"ts, keys, numerus forms, notes and a name after its messages", Kind::ts,
     "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\">\n"
     "<context><name>Main</name>\n<message><source>Close</source><comment>menu</comment>"
     "<translation>Schlie&#223;en</translation></message>\n"
     "<message numerus=\"yes\"><source>%n file(s)</source><translation type=\"unfinished\">"
     "<numerusform>%n Datei</numerusform><numerusform>%n Dateien</numerusform>"
     "</translation><extra-sorvane-key>00000001/x/Main/</extra-sorvane-key></message>\n"
     "<message><source>Old</source><extracomment>Original text: Older</extracomment>"
     "<translation type=\"vanished\">Alt</translation></message>\n"
     "<message><source>No translation</source></message>\n"
     "<message numerus=\"yes\"><source>none</source></message>\n"
     "</context>\n<context><message><source>Before</source><translation>Vor"
     "<byte value=\"x1\"/></translation></message><name>Late</name></context>\n"
     "<context><message><source>Nameless</source><translation>N</translation></message>"
     "</context>\n<other><message><source>ignored</source></message></other>\n</TS>\n"},
    {"ts, invalid bytes and escaped surrogates in names, sources, notes and keys", Kind::ts,
     "<TS><context><name>N\xC3</name>\n<message><source>a\xFF"
     "b<byte value=\"xD800\"/>c"
     "</source><comment>c\xE2\x82</comment><translation>t</translation></message>\n"
     "<message><source>\xC3<!-- split -->\xA9</source><extracomment>Original text: o\xC3"
     "<byte value=\"xDC00\"/>p</extracomment><translation>u</translation><extra-sorvane-key>"
     "K<byte value=\"xD83D\"/><byte value=\"xDE00\"/>\xF0</extra-sorvane-key></message>\n"
     "<message><source>&#xD800;&#xDC00;</source><extracomment>Original text: &#x1F600;"
     "</extracomment><extra-sorvane-key>k&#xDBFF;</extra-sorvane-key></message>\n"
     "</context></TS>\n"},
};

TEST(XmlReader, ReadsEveryDocumentAsTheTreeReaderDid) {
  for (const Document& document : kDocuments) {
    SCOPED_TRACE(document.what);
    std::string error;
    const std::optional<std::vector<ReadUnit>> got = ours(document.kind, document.text, error);
    ASSERT_TRUE(got) << error;
    const std::optional<std::vector<ReadUnit>> want =
        reference(document.kind, document.text, error);
    ASSERT_TRUE(want) << error;
    EXPECT_FALSE(got->empty());
    expectSameUnits(*got, *want);
  }
}

// Documents that are not well formed are refused with their line, as the
// tree reader refused them.
TEST(XmlReader, RefusesWhatIsNotWellFormed) {
  const struct {
    const char* text;
    const char* line;
  } kBroken[] = {
      {"<xliff><file>\n</body></xliff>", "line 2: "},
      {"<xliff>\n<trans-unit id=\"a></trans-unit></xliff>", "line 2: "},
      {"<xliff>\n<trans-unit id=a></trans-unit></xliff>", "line 2: "},
      {"<xliff>\n<trans-unit>\n<source>x</source>", "line 3: "},
      {"<xliff>\n<!-- open", "line 2: "},
      {"<xliff>\n<![CDATA[ open</xliff>", "line 2: "},
      {"<xliff>\n< notaname/></xliff>", "line 2: "},
      {"", "line 1: "},
  };
  for (const auto& broken : kBroken) {
    SCOPED_TRACE(broken.text);
    std::string error;
    EXPECT_FALSE(ours(Kind::xliff, broken.text, error));
    EXPECT_TRUE(error.starts_with(broken.line)) << error;
    std::string treeError;
    EXPECT_FALSE(reference(Kind::xliff, broken.text, treeError));
  }
  // Lines counted through more line feeds than a count of bytes holds.
  std::string many = "<xliff>";
  for (int i = 0; i < 1000; ++i) many += "ab\ncd\r\n\n\n";
  std::string error;
  EXPECT_FALSE(ours(Kind::xliff, many + "<!-- open", error));
  EXPECT_TRUE(error.starts_with("line 4001: ")) << error;
  EXPECT_FALSE(ours(Kind::ts, "<xliff/>", error));
  EXPECT_EQ(error, "line 1: not a TS file (no TS element)");
  EXPECT_FALSE(ours(Kind::xliff, "<TS/>", error));
  EXPECT_EQ(error, "line 1: not an XLIFF file (no xliff element)");
}

// The document read from a file a piece of pieceBytes at a time (in two
// parts from splitBytes on, inParts set when it was); the units held, or
// nothing with the error.
std::optional<std::vector<ReadUnit>> inPieces(Kind kind, const std::string& text,
                                              std::size_t pieceBytes, std::string& error,
                                              std::size_t splitBytes = SIZE_MAX,
                                              bool* inParts = nullptr) {
  const int fd = ::memfd_create("document", MFD_CLOEXEC);
  if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    ADD_FAILURE() << "no file for the document";
    return std::nullopt;
  }
  if (inParts != nullptr) *inParts = false;
  const XmlFile file{fd, text.size(), pieceBytes, splitBytes, nullptr, inParts};
  const std::optional<ReadUnits> units =
      kind == Kind::xliff ? readXliff(file, error) : readTs(file, error);
  ::close(fd);
  if (!units) return std::nullopt;
  return units->held();
}

// Read in pieces of any size, every document gives the units, or the error
// and its line, that reading it whole gave: tokens, references, CR LF and
// &#0; cut at every place by the pieces' ends.
TEST(XmlReader, AFileReadInPiecesGivesWhatTheWholeGave) {
  std::vector<Document> documents = kDocuments;
  const std::string kTs = "<?xml version=\"1.0\"?>\n<TS version=\"2.1\"><context><name>c</name>\n";
  const std::string longText(1 << 20, 'a');
  const std::string utf16 = [] {
    const std::u16string text =
        u"\uFEFF<TS><context><name>n</name><message><source>\u00E9"
        u"</source><translation>t</translation></message></context></TS>";
    std::string bytes;
    for (const char16_t unit : text) {
      bytes.push_back(static_cast<char>(unit & 0xFF));
      bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
  }();
  documents.insert(
      documents.end(),
      {
          {"CR, CR LF and LF lines", Kind::ts,
           kTs + "\r\r\n<message>\r<source>a\r\nb</source>\r\n</message>\n<message><source>c"
                 "</source></message></context></TS>\r\n"},
          {"a byte order mark", Kind::ts,
           "\xEF\xBB\xBF" + kTs + "<message><source>x</source></message></context></TS>"},
          {"UTF-16", Kind::ts, utf16},
          {"a reference to U+0000 after a line", Kind::xliff,
           "<xliff>\n<!-- &#x000; -->" + std::string(50, ' ') + "</xliff>"},
          {"&#0 not ended by a semicolon", Kind::xliff, "<xliff>&#00</xliff>"},
          {"a broken tag deep in the document", Kind::ts,
           kTs + "<message>\n\n<source>x</source></message>\n<message><sourc e</message>"},
          {"the root not closed", Kind::ts, kTs + "<message><source>x</source></message>\n"},
          {"a second root", Kind::xliff, "<xliff></xliff>\n<xliff/>"},
          {"the longest text", Kind::ts,
           kTs + "<message><source>" + longText + "</source></message></context></TS>"},
          {"a text too long", Kind::ts,
           kTs + "\n<message>\n<source>" + longText + "b</source></message></context></TS>"},
      });
  for (const Document& document : documents) {
    SCOPED_TRACE(document.what);
    std::string wholeError;
    const std::vector<std::uint8_t> bytes(document.text.begin(), document.text.end());
    const std::optional<ReadUnits> whole =
        document.kind == Kind::xliff ? readXliff(bytes, wholeError) : readTs(bytes, wholeError);
    const bool large = document.text.size() > 100000;
    for (const std::size_t pieceBytes : {std::size_t{1}, std::size_t{2}, std::size_t{3},
                                         std::size_t{7}, std::size_t{64}, std::size_t{65536}}) {
      if (large && pieceBytes < 64) continue;
      SCOPED_TRACE(pieceBytes);
      std::string error;
      const std::optional<std::vector<ReadUnit>> got =
          inPieces(document.kind, document.text, pieceBytes, error);
      ASSERT_EQ(got.has_value(), whole.has_value()) << error << " / " << wholeError;
      if (got) {
        expectSameUnits(*got, whole->held());
      } else {
        EXPECT_EQ(error, wholeError);
      }
    }
  }
}

// Documents of many units of every kind, in sizes that put the middle,
// where a file is cut to be read in two parts, at every kind of place.
std::vector<Document> documentsToCut() {
  std::vector<Document> documents;
  for (int count = 1; count <= 16; ++count) {
    std::string ts = "<?xml version=\"1.0\"?>\n<TS version=\"2.1\">\n";
    std::string xliff = kXliffStart;
    for (int i = 0; i < count; ++i) {
      const std::string n = std::to_string(i);
      ts += "<context>";
      if (i % 5 == 3) ts += "<message><source>early</source></message>";
      ts += "<name>ctx" + n + "</name>\n<message><source>lupdate ";
      ts += n;
      ts += "</source><comment>c</comment><translation>t" + n + "</translation></message>\n";
      ts += "<!-- <message><source>in a comment</source></message> -->\n";
      ts += "<message numerus=\"yes\"><source>%n " + n;
      ts += "</source><translation><numerusform>a</numerusform><numerusform>b</numerusform>";
      ts += "</translation><extra-sorvane-key>K" + n + "</extra-sorvane-key></message>\n";
      ts += "<message><source>s" + n + "</source><translation>x<![CDATA[<message >]]>";
      ts += "</translation><extra-sorvane-key>k" + n + "</extra-sorvane-key></message>\n";
      ts += "</context>\n";
      xliff += "<trans-unit id=\"u" + n + "\"><source>s";
      xliff += n + "</source><target>t";
      xliff += n;
      xliff += "</target></trans-unit>\n<group restype=\"x-gettext-plurals\"><trans-unit id=\"p";
      xliff += n + "[0]\"><source>one</source><target>eins</target></trans-unit>\n";
      xliff += "<trans-unit id=\"p" + n + "[1]\"><target>viele</target></trans-unit></group>\n";
      if (i % 4 == 2) {
        xliff += "<group restype=\"x-trolltech-linguist-context\"><trans-unit id=\"g" + n;
        xliff += "\"><source>g</source></trans-unit></group>\n";
      }
    }
    documents.push_back({"ts", Kind::ts, ts + "</TS>\n"});
    documents.push_back({"xliff", Kind::xliff, xliff + kXliffEnd});
  }
  return documents;
}

// A file cut in two to be read on two threads gives the units, lines and
// errors that one pass gives, wherever the cut falls: at a message or unit,
// inside a comment, a CDATA section, a plural group, a context of another
// kind, or before a fault in either part.
TEST(XmlReader, AFileReadInTwoPartsGivesWhatOnePassGave) {
  std::vector<Document> documents = documentsToCut();
  const std::size_t cutFamily = documents.size();
  const std::string longText((1 << 20) + 1, 'a');
  const Document valid = documents.back();
  // The largest TS without its end tag.
  const std::string& largestTs = documents[documents.size() - 2].text;
  const std::string tsBody = largestTs.substr(0, largestTs.size() - std::strlen("</TS>\n"));
  documents.insert(
      documents.end(),
      {
          {"a broken tag at the end", Kind::ts, tsBody + "<context><nam e></context></TS>\n"},
          {"&#0; at the end", Kind::ts, tsBody + "<context><name>&#0;</name></context></TS>\n"},
          {"the root not closed", Kind::ts, tsBody},
          {"a text too long in the second part", Kind::ts,
           tsBody + "<context><name>n</name><message><source>" + longText +
               "</source></message></context></TS>\n"},
          {"a text too long in the first part", Kind::ts,
           "<TS><context><name>n</name><message><source>" + longText + "</source></message>\n" +
               tsBody.substr(tsBody.find("<context>")) + "</TS>\n"},
          {"a second root", Kind::xliff, valid.text + "<xliff/>"},
      });
  documents.insert(documents.end(), kDocuments.begin(), kDocuments.end());
  std::size_t cut = 0;
  for (std::size_t d = 0; d < documents.size(); ++d) {
    const Document& document = documents[d];
    SCOPED_TRACE(std::string(document.what) + " " + std::to_string(d));
    std::string wholeError;
    const std::vector<std::uint8_t> bytes(document.text.begin(), document.text.end());
    const std::optional<ReadUnits> whole =
        document.kind == Kind::xliff ? readXliff(bytes, wholeError) : readTs(bytes, wholeError);
    for (const std::size_t pieceBytes : {std::size_t{7}, std::size_t{4096}}) {
      std::string error;
      bool inParts = false;
      const std::optional<std::vector<ReadUnit>> got =
          inPieces(document.kind, document.text, pieceBytes, error, 1, &inParts);
      if (d < cutFamily && inParts) ++cut;
      ASSERT_EQ(got.has_value(), whole.has_value()) << error << " / " << wholeError;
      if (got) {
        expectSameUnits(*got, whole->held());
      } else {
        EXPECT_EQ(error, wholeError);
      }
    }
  }
  // Most of the family is read in two parts; where it is not, one pass read it.
  EXPECT_GT(cut, cutFamily) << cut;
}

TEST(XmlReader, ASourceThatFailsEndsTheDocumentWithItsError) {
  const std::string document = "<a><b>text</b><c>more text</c></a>";
  std::size_t given = 0;
  XmlPullReader xml(
      [&](char* buffer, std::size_t room, int* error) -> std::size_t {
        if (given >= 12) {
          *error = EIO;
          return 0;
        }
        const std::size_t count = std::min(room, std::size_t{12} - given);
        std::copy_n(document.data() + given, count, buffer);
        given += count;
        return count;
      },
      4);
  XmlPullReader::Token token{};
  std::vector<std::string> tokens;
  while (xml.next(token)) {
    tokens.emplace_back(token == XmlPullReader::Token::text ? xml.text() : xml.name());
  }
  // The tokens before the window that could not be filled, then the error.
  EXPECT_EQ(tokens, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(xml.readError(), EIO);
  EXPECT_FALSE(xml.next(token));

  std::string error;
  EXPECT_FALSE(inPieces(Kind::ts, "", 4, error));
  EXPECT_EQ(error, "line 1: no root element");
  const int folder = ::open("/", O_RDONLY | O_CLOEXEC);
  EXPECT_FALSE(readTs(XmlFile{folder, 4096}, error));
  EXPECT_EQ(error, toUtf8(systemErrorText(EISDIR)));
  ::close(folder);
}

}  // namespace
}  // namespace sorvane::test
