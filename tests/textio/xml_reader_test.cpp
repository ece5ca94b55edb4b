#include "support/pugixml_exchange_reference.h"
#include "textio/xml_exchange.h"

#include <gtest/gtest.h>

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
  std::string error;
  EXPECT_FALSE(ours(Kind::ts, "<xliff/>", error));
  EXPECT_EQ(error, "line 1: not a TS file (no TS element)");
  EXPECT_FALSE(ours(Kind::xliff, "<TS/>", error));
  EXPECT_EQ(error, "line 1: not an XLIFF file (no xliff element)");
}

}  // namespace
}  // namespace sorvane::test
