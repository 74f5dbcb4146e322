// The rules for names, folders and registry texts, case by case.
#include "packer/project/text_rules.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "packer/project/variables.h"

using namespace packer;

TEST(TextRules, FileNames) {
  const struct {
    const char* name;
    bool accepted;
  } table[] = {
      {"setup.exe", true}, {"Read Me.txt", true}, {"a", true},          {"\xE9t\xE9.txt", true},
      {".profile", true},  {"", false},           {".", false},         {"..", false},
      {"a\\b", false},     {"a/b", false},        {"c:", false},        {"a*b", false},
      {"a?b", false},      {"a\"b", false},       {"a<b", false},       {"a>b", false},
      {"a|b", false},      {"tab\there", false},  {"trailing.", false}, {"trailing ", false},
  };
  for (const auto& row : table)
    EXPECT_EQ(!CheckFileName(row.name).has_value(), row.accepted) << row.name;
  EXPECT_FALSE(CheckFileName(std::string(255, 'n')).has_value());
  EXPECT_TRUE(CheckFileName(std::string(256, 'n')).has_value());
}

TEST(TextRules, SubDirectories) {
  const struct {
    const char* given;
    const char* stored;  // null: refused
  } table[] = {
      {"", ""},
      {"Docs", "Docs\\"},
      {"Docs\\", "Docs\\"},
      {"Docs/", "Docs\\"},
      {"Docs/Manual", "Docs\\Manual\\"},
      {"Docs\\Manual\\", "Docs\\Manual\\"},
      {"Docs/Manual\\En", "Docs\\Manual\\En\\"},
      {"..", nullptr},
      {"Docs\\..", nullptr},
      {"Docs/../x", nullptr},
      {".", nullptr},
      {"a/./b", nullptr},
      {"C:\\x", nullptr},
      {"c:", nullptr},
      {"\\Docs", nullptr},
      {"/Docs", nullptr},
      {"\\\\server\\share", nullptr},
      {"a\\\\b", nullptr},
      {"a//", nullptr},
      {"a:b", nullptr},
      {"a*", nullptr},
      {"..\\..\\Windows", nullptr},
  };
  for (const auto& row : table) {
    SubDirectoryResult result = NormaliseSubDirectory(row.given);
    if (row.stored) {
      EXPECT_FALSE(result.refusal.has_value()) << row.given << ": " << *result.refusal;
      EXPECT_EQ(result.normalised, row.stored) << row.given;
    } else {
      EXPECT_TRUE(result.refusal.has_value()) << row.given;
    }
  }
  EXPECT_TRUE(NormaliseSubDirectory(std::string(241, 'd')).refusal.has_value());
}

TEST(TextRules, RegistryKeyPaths) {
  const struct {
    const char* path;
    bool accepted;
  } table[] = {
      {"Software", true},
      {"Software\\Vendor\\Product", true},
      {".txt", true},
      {"A B", true},
      {"", false},
      {"\\Software", false},
      {"Software\\", false},
      {"Software\\\\Vendor", false},
      {"Software/Vendor", false},
  };
  for (const auto& row : table)
    EXPECT_EQ(!CheckRegistryKeyPath(row.path).has_value(), row.accepted) << row.path;
}

TEST(TextRules, RegistryValueNames) {
  EXPECT_FALSE(CheckRegistryValueName("").has_value());  // the default value
  EXPECT_FALSE(CheckRegistryValueName("Install Path").has_value());
  EXPECT_TRUE(CheckRegistryValueName("a=b").has_value());
  EXPECT_TRUE(CheckRegistryValueName("=").has_value());
}

TEST(TextRules, RegistryNumbersRoundTripThroughA32BitSignedConversion) {
  const struct {
    long long number;
    const char* text;  // null: refused
  } table[] = {
      {0, "0"},
      {1, "1"},
      {-1, "-1"},
      {2147483647, "2147483647"},
      {2147483648LL, "-2147483648"},
      {4294967295LL, "-1"},
      {-2147483648LL, "-2147483648"},
      {4294967296LL, nullptr},
      {-2147483649LL, nullptr},
  };
  for (const auto& row : table) {
    auto text = RegistryNumberText(row.number);
    ASSERT_EQ(text.has_value(), row.text != nullptr) << row.number;
    if (!text) continue;
    EXPECT_EQ(*text, row.text);
    // The setup program converts with a signed 32-bit conversion: same bits.
    long converted = std::strtol(text->c_str(), nullptr, 10);
    EXPECT_EQ(static_cast<std::uint32_t>(converted), static_cast<std::uint32_t>(row.number))
        << row.number;
  }
}

// -D definitions come before the environment; an empty value takes the
// fallback; "$$" is a "$"; anything else with "$" stays as written.
TEST(TextRules, VariableReferences) {
  ::setenv("VT_RULES_SET", "/opt/app", 1);
  ::setenv("VT_RULES_EMPTY", "", 1);
  ::setenv("VT_RULES_BOTH", "from the environment", 1);
  ::unsetenv("VT_RULES_UNSET");
  Variables variables;
  ASSERT_FALSE(variables.Define("VT_RULES_BOTH=from -D=x"));
  ASSERT_FALSE(variables.Define("VT_RULES_DEFINED="));
  EXPECT_TRUE(variables.Define("no equals sign"));
  EXPECT_TRUE(variables.Define("1ST=x"));
  const struct {
    const char* text;
    const char* expanded;  // null: refused with `reason`
    const char* reason = "";
  } table[] = {
      {"plain/path", "plain/path"},
      {"${VT_RULES_SET}/bin", "/opt/app/bin"},
      {"${VT_RULES_SET}${VT_RULES_SET}", "/opt/app/opt/app"},
      {"${VT_RULES_UNSET:-dist}/x", "dist/x"},
      {"${VT_RULES_SET:-dist}/x", "/opt/app/x"},
      {"${VT_RULES_EMPTY:-dist}", "dist"},
      {"${VT_RULES_EMPTY}x", "x"},
      {"${VT_RULES_BOTH}", "from -D=x"},
      {"${VT_RULES_DEFINED:-fallback}", "fallback"},
      {"${VT_RULES_DEFINED}.", "."},
      {"Price: $$5, $$${VT_RULES_SET}", "Price: $5, $/opt/app"},
      {"$VT_RULES_SET $ 100$", "$VT_RULES_SET $ 100$"},
      {"${VT_RULES_UNSET}/x", nullptr, "uses ${VT_RULES_UNSET}, which is not set"},
      {"${unclosed", nullptr, "has \"${\" without its closing \"}\""},
      {"${}", nullptr, "\"\" is not a variable name"},
      {"${A B:-x}", nullptr, "\"A B\" is not a variable name"},
  };
  for (const auto& row : table) {
    auto expanded = ExpandVariables(row.text, variables);
    ASSERT_EQ(expanded.ok(), row.expanded != nullptr) << row.text;
    if (expanded.ok())
      EXPECT_EQ(expanded.value(), row.expanded) << row.text;
    else
      EXPECT_NE(expanded.problem().message.find(row.reason), std::string::npos)
          << expanded.problem().message;
  }
}

TEST(TextRules, DeviceNamesInAnyCaseWithAnyExtension) {
  for (const char* name : {"CON", "con", "Prn", "AUX", "nul", "NUL.txt", "nul.tar.gz", "COM1",
                           "com9.log", "LPT1", "lpt9", "aux .txt"}) {
    auto refusal = CheckFileName(name);
    ASSERT_TRUE(refusal.has_value()) << name;
    EXPECT_NE(refusal->find("device name"), std::string::npos) << name << ": " << *refusal;
    EXPECT_TRUE(NormaliseSubDirectory(std::string("docs\\") + name).refusal.has_value()) << name;
    EXPECT_TRUE(CheckApplicationFolder(name).has_value()) << name;
  }
  for (const char* name :
       {"CONSOLE", "con_", "COM0", "COM10", "LPT", "nullable.txt", "xcon", "a.con"})
    EXPECT_FALSE(CheckFileName(name).has_value()) << name;
}

TEST(TextRules, ApplicationFolderNamesTheCharacter) {
  EXPECT_FALSE(CheckApplicationFolder("Test App 2.0").has_value());
  auto slash = CheckApplicationFolder("AC/DC Player");
  ASSERT_TRUE(slash.has_value());
  EXPECT_NE(slash->find("contains \"/\""), std::string::npos) << *slash;
  for (const char* name : {"A\\..\\..\\Windows", "a:b", "a*", "a?", "a\"b", "a<b", "a>b", "a|b",
                           "..", ".", "App.", "App ", "tab\there"})
    EXPECT_TRUE(CheckApplicationFolder(name).has_value()) << name;
}

// In code page 932 the second byte of a character may be "\", "|" or a
// letter; in 1252 the same bytes are two characters.
TEST(TextRules, DoubleByteCharactersAreWalkedWhole) {
  const std::string hyou = "\x95\x5C";  // 表
  const std::string so = "\x83\x5C";    // ソ
  const std::string po = "\x83\x7C";    // ポ
  EXPECT_FALSE(CheckFileName(so + ".txt", 932).has_value());
  EXPECT_FALSE(CheckFileName(po + ".txt", 932).has_value());
  EXPECT_TRUE(CheckFileName(so + ".txt", 1252).has_value());
  EXPECT_TRUE(CheckFileName(hyou + "|", 932).has_value());
  SubDirectoryResult folder = NormaliseSubDirectory(hyou, 932);
  EXPECT_FALSE(folder.refusal.has_value());
  EXPECT_EQ(folder.normalised, hyou + "\\");
  EXPECT_EQ(NormaliseSubDirectory(hyou + "/" + so, 932).normalised, hyou + "\\" + so + "\\");
  EXPECT_FALSE(CheckRegistryKeyPath("Software\\" + hyou, 932).has_value());
  EXPECT_TRUE(CheckRegistryKeyPath("Software\\" + hyou, 1252).has_value());  // ends in "\"
  EXPECT_FALSE(CheckApplicationFolder(so + "\x83\x74\x83\x67", 932).has_value());
  EXPECT_EQ(FoldCase("\x83\x41.TXT", 932), "\x83\x41.txt");  // ア keeps its "A"
  EXPECT_EQ(FoldCase("\x83\x41.TXT", 1252), "\x83\x61.txt");
  char found = 0;
  EXPECT_FALSE(ContainsCharacter(hyou, "\\", 932));
  EXPECT_TRUE(ContainsCharacter(hyou + "/", "\\/", 932, &found));
  EXPECT_EQ(found, '/');
}

TEST(TextRules, InstalledPathLengthCountsTheStandardBase) {
  EXPECT_EQ(StandardBase(layout::kDestinationApplication, "Test App"),
            "C:\\Program Files (x86)\\Test App\\");
  EXPECT_EQ(StandardBase(layout::kDestinationSystem, "x"), "C:\\Windows\\System32\\");
  // 32 + 201 + 26 = 259 characters fit; one more does not.
  std::string sub = std::string(200, 'd') + "\\";
  EXPECT_FALSE(CheckInstalledPathLength(layout::kDestinationApplication, "Test App", sub,
                                        std::string(26, 'n')));
  EXPECT_TRUE(CheckInstalledPathLength(layout::kDestinationApplication, "Test App", sub,
                                       std::string(27, 'n')));
}

TEST(TextRules, GlobPatternsEscapeTheValuesOfReferences) {
  ::setenv("VT_RULES_GLOB", "/opt/a[1]*", 1);
  std::string pattern;
  auto expanded = ExpandVariables("${VT_RULES_GLOB}/*.dll", Variables(), &pattern);
  ASSERT_TRUE(expanded.ok());
  EXPECT_EQ(expanded.value(), "/opt/a[1]*/*.dll");
  EXPECT_EQ(pattern, "/opt/a\\[1]\\*/*.dll");
}
