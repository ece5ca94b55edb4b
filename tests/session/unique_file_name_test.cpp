#include "session/unique_file_name.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace sorvane::test {
namespace {

class UniqueFileName : public ::testing::Test {
 protected:
  std::u16string unique(std::string_view name) { return uniqueFileName(folder.widePath(name)); }
  void touch(std::string_view name) { folder.write(name, {}); }
  TempFolder folder;
};

TEST_F(UniqueFileName, CountsOnFromTheTrailingNumber) {
  touch("de.qm");
  touch("lang7.qm");
  touch("lang09.qm");
  EXPECT_EQ(unique("de.qm"), folder.widePath("de1.qm"));
  EXPECT_EQ(unique("lang7.qm"), folder.widePath("lang8.qm"));
  EXPECT_EQ(unique("lang09.qm"), folder.widePath("lang10.qm"));
}

TEST_F(UniqueFileName, SkipsNamesThatExist) {
  touch("de.qm");
  touch("de1.qm");
  folder.write("de2.qm", {1});
  EXPECT_EQ(unique("de.qm"), folder.widePath("de3.qm"));
}

TEST_F(UniqueFileName, ANameOfDigitsOnlyIsAllBase) {
  touch("123.qm");
  EXPECT_EQ(unique("123.qm"), folder.widePath("1231.qm"));
}

TEST_F(UniqueFileName, NamesWithoutExtensionOrWithSeveralDotsKeepTheirLastExtension) {
  touch("strings");
  touch("app.de.qm");
  EXPECT_EQ(unique("strings"), folder.widePath("strings1"));
  EXPECT_EQ(unique("app.de.qm"), folder.widePath("app.de1.qm"));
}

TEST_F(UniqueFileName, AMissingFolderOrFileLeavesThePathAsItIs) {
  EXPECT_EQ(unique("no/such/folder/de.qm"), folder.widePath("no/such/folder/de.qm"));
  EXPECT_EQ(unique("missing.qm"), folder.widePath("missing.qm"));
}

}  // namespace
}  // namespace sorvane::test
