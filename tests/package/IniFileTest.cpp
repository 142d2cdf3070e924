#include "package/IniFile.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/package/TestFolder.h"

namespace ls {
namespace {

struct StringCase {
  const char* text;
  const char* section;
  const char* key;
  const char* expected;
};

TEST(IniFileTest, ReadsStringsByTheProfileRules) {
  const StringCase cases[] = {
      {"[S]\nK=v\n", "S", "K", "v"},
      {"[Pictures]\nfile0caption=x\n", "PICTURES", "File0Caption", "x"},  // case-insensitive
      {"[ S ]\n  K  =  two words  \n", "S", "K", "two words"},            // trimmed
      {"[S]\nK=\"  quoted  \"\n", "S", "K", "  quoted  "},                 // one pair removed
      {"[S]\nK=\"\"x\"\"\n", "S", "K", "\"x\""},
      {"[S]\nK=\"open\n", "S", "K", "\"open"},                              // no pair: kept
      {"[S]\n;K=comment\nK=real\n", "S", "K", "real"},
      {"[S]\nK=first\nK=second\n", "S", "K", "first"},                     // first wins
      {"[S]\nK=a\n[S]\nK=b\nL=c\n", "S", "L", "c"},                        // repeated section
      {"\xEF\xBB\xBF[S]\r\nK=bom\r\n", "S", "K", "bom"},                   // BOM and CRLF
      {"K=orphan\n[S]\n", "S", "K", "default"},                            // before any section
      {"[S]\nK\n", "S", "K", "default"},                                   // no "="
      {"[S]\nK=\n", "S", "K", ""},                                         // empty, not missing
      {"[S]\nK=a=b\n", "S", "K", "a=b"},
      {"[T]\nK=v\n", "S", "K", "default"},
      {"", "S", "K", "default"},
  };
  for (const auto& c : cases) {
    IniFile ini = IniFile::FromText(c.text);
    EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.expected) << c.text;
  }
}

TEST(IniFileTest, CutsLongValuesAt2047Characters) {
  const std::string value(3000, 'a');
  IniFile ini = IniFile::FromText("[S]\nK=" + value + "\n");
  EXPECT_EQ(ini.ReadString("S", "K", ""), std::string(2047, 'a'));
}

struct IntCase {
  const char* value;
  int32_t expected;  // with default -99
};

TEST(IniFileTest, ReadsIntegersWholeOrGivesTheDefault) {
  const IntCase cases[] = {
      {"12", 12},          {"-7", -7},          {"+5", 5},           {"007", 7},
      {"0x1F", 31},        {"0X1f", 31},        {"$ff", 255},        {"$FFFFFFFF", -1},
      {"0x0000FF", 255},   {"0x", -99},         {"$", -99},          {"0x100000000", -99},
      {"12abc", -99},      {"abc", -99},        {"", -99},           {"1 2", -99},
      {"2147483647", 2147483647}, {"2147483648", -99}, {"-2147483648", INT32_MIN},
      {"-2147483649", -99}, {"0xG", -99},       {"-", -99},          {"3.5", -99},
      {"red", -99},
  };
  for (const auto& c : cases) {
    IniFile ini = IniFile::FromText(std::string("[S]\nK=") + c.value + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.expected) << '"' << c.value << '"';
  }
}

TEST(IniFileTest, ReadsBooleansAsIntegers) {
  IniFile ini = IniFile::FromText("[S]\nZero=0\nTwo=2\nNeg=-1\nWord=yes\n");
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "Two", false));
  EXPECT_TRUE(ini.ReadBool("S", "Neg", false));
  EXPECT_TRUE(ini.ReadBool("S", "Word", true));
  EXPECT_FALSE(ini.ReadBool("S", "Word", false));
  EXPECT_FALSE(ini.ReadBool("S", "Missing", false));
}

TEST(IniFileTest, MissingFileReadsAsEmpty) {
  test::TestFolder dir;
  IniFile ini(dir.Path("none.ini"));
  EXPECT_EQ(ini.ReadInteger("Picture", "ImageCount", 4), 4);
  EXPECT_FALSE(ini.SectionExists("Picture"));
}

TEST(IniFileTest, WritingKeepsTheRestOfTheFile) {
  test::TestFolder dir;
  const std::string path = dir.Path("user.ini");
  test::WriteFile(path,
                  "; kept comment\r\n[Identify]\r\nId=abc\r\n\r\n[UserSetting]\r\n"
                  "UserShowCaption = 1\r\nOther=x\r\n");
  IniFile ini(path);
  ini.WriteBool("usersetting", "USERSHOWCAPTION", false);  // replaces, keeps its spelling
  ini.WriteInteger("UserSetting", "TransitionStep", 7);    // added to its section
  ini.WriteString("ExitOption", "ExitOnKeyPress", "0");    // new section at the end
  EXPECT_EQ(test::ReadFile(path),
            "; kept comment\r\n[Identify]\r\nId=abc\r\n\r\n[UserSetting]\r\n"
            "UserShowCaption=0\r\nOther=x\r\nTransitionStep=7\r\n\r\n[ExitOption]\r\n"
            "ExitOnKeyPress=0\r\n");
  IniFile again(path);
  EXPECT_EQ(again.ReadInteger("UserSetting", "TransitionStep", 0), 7);
  EXPECT_FALSE(again.ReadBool("UserSetting", "UserShowCaption", true));
  // Nothing but the file itself is left in the folder (the temporary file was renamed).
  int files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 3);  // user.ini, tmp/, config/
}

TEST(IniFileTest, KeepsLineEndingsAndByteOrderMark) {
  IniFile lf = IniFile::FromText("[S]\nA=1\n");
  lf.SetString("S", "B", "2");
  EXPECT_EQ(lf.Text(), "[S]\nA=1\nB=2\n");
  IniFile bom = IniFile::FromText("\xEF\xBB\xBF[S]\r\nA=1\r\n");
  bom.SetString("S", "A", "3");
  EXPECT_EQ(bom.Text(), "\xEF\xBB\xBF[S]\r\nA=3\r\n");
}

TEST(IniFileTest, ValueWithLineBreakCannotAddKeys) {
  IniFile ini = IniFile::FromText("[S]\n");
  ini.SetString("S", "Id", "x\r\n[Evil]\nK=1");
  EXPECT_EQ(ini.ReadString("S", "Id", ""), "x");
  EXPECT_FALSE(ini.SectionExists("Evil"));
}

TEST(IniFileTest, DeleteKeyRemovesEveryCopy) {
  IniFile ini = IniFile::FromText("[S]\nK=1\nL=2\nk=3\n");
  ini.DeleteKey("s", "K");
  EXPECT_FALSE(ini.ValueExists("S", "K"));
  EXPECT_EQ(ini.Text(), "[S]\nL=2\n");
}

TEST(IniFileTest, RefusedWriteThrowsAndLosesNothing) {
  test::TestFolder dir;
  const std::string blocker = dir.Path("blocker");
  test::WriteFile(blocker, "a file, not a folder");
  const std::string path = blocker + "/user.ini";
  IniFile ini(path);
  try {
    ini.WriteBool("UserSetting", "UserPlayMusic", true);
    FAIL() << "the write should have been refused";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_FALSE(ini.ValueExists("UserSetting", "UserPlayMusic"));
}

}  // namespace
}  // namespace ls
