#include "reader_test_support.h"

#include <gtest/gtest.h>

namespace testpkg {

const char kSetupPath[] = "C:\\Downloads\\Demo Setup.exe";
const char kCaption[] = "Demo Setup";

namespace {

const char* const kRootNames[] = {"HKCR", "HKCU", "HKLM", "HKU"};

std::string KeyLine(int root, const std::string& path) {
  return std::string("key ") + kRootNames[root] + "\\" + path;
}

std::string ValueLine(std::uint32_t type, const std::string& text) {
  return "value " + std::to_string(type) + " " + text;
}

std::string AssociationLine(const std::string& extension, const std::string& className,
                            const std::string& description, const std::string& programPath,
                            const std::string& iconPath, std::int32_t iconIndex) {
  return extension + "|" + className + "|" + description + "|" + programPath + "|" + iconPath +
         "|" + std::to_string(iconIndex);
}

}  // namespace

std::string ReadErrorText(const char* path) {
  return std::string("Error reading from the file '") + path + "'.";
}

MemoryPackage::MemoryPackage(Bytes data)
    : bytes(std::move(data)),
      file(bytes.data(), bytes.size()),
      input{&file, kSetupPath, kCaption} {}

void RegistryLines::BeginKey(layout::RegistryRoot root, const SharedString& keyPath) {
  lines.push_back(KeyLine(root, keyPath.Text()));
}

void RegistryLines::Value(uint32_t type, const SharedString& text) {
  lines.push_back(ValueLine(type, text.Text()));
}

void RegistryLines::EndKey() { lines.push_back("end"); }

void AssociationLines::Association(const AssociationRecord& r) {
  lines.push_back(AssociationLine(r.Extension.Text(), r.ClassName.Text(), r.Description.Text(),
                                  r.ProgramPath.Text(), r.IconPath.Text(), r.IconIndex));
}

void ReadWhole(PackageFile& file, const char* path, WholeRead* read) {
  PackageInput input{&file, path, kCaption};
  MessageRecorder recorder;
  read->ok =
      ReadWholePackage(input, &read->contents, read->registry, read->associations, read->fileData);
  read->boxes = recorder.Boxes();
}

void ReadWhole(const Bytes& bytes, WholeRead* read) {
  MemoryPackageFile file(bytes.data(), bytes.size());
  ReadWhole(file, kSetupPath, read);
}

void ExpectReadAsWritten(const TestPackage& p, std::size_t packageSize, const WholeRead& read) {
  ASSERT_TRUE(read.ok);
  EXPECT_TRUE(read.boxes.empty());
  const PackageContents& c = read.contents;
  EXPECT_EQ(c.Header.AppName, p.appName);
  EXPECT_EQ(c.Header.HasLicence, p.hasLicence ? 1 : 0);
  EXPECT_EQ(c.LicenceText.Text(), p.hasLicence ? p.licence : std::string());
  EXPECT_EQ(Bytes(c.Uninstaller.Data(), c.Uninstaller.Data() + c.Uninstaller.Length()),
            p.uninstaller);
  ASSERT_EQ(c.Files.Count(), static_cast<int>(p.files.size()));
  Bytes data;
  for (int i = 0; i < c.Files.Count(); ++i) {
    const TestFile& f = p.files[i];
    EXPECT_EQ(c.Files[i].FileName.Text(), f.name);
    EXPECT_EQ(c.Files[i].SubDirectory.Text(), f.subDirectory);
    EXPECT_EQ(c.Files[i].DestinationType, f.destinationType);
    EXPECT_EQ(c.Files[i].FileSize, f.contents.size());
    EXPECT_EQ(c.Files[i].HasVersion, f.hasVersion);
    data.insert(data.end(), f.contents.begin(), f.contents.end());
  }
  EXPECT_EQ(read.fileData.bytes, data);
  EXPECT_EQ(c.FileDataLength, data.size());
  EXPECT_EQ(read.registry.lines, ExpectedRegistryLines(p));
  EXPECT_EQ(read.associations.lines, ExpectedAssociationLines(p));
  EXPECT_EQ(c.EndOffset, packageSize - 4) << "nothing between D8 and the trailer";
}

std::vector<std::string> ExpectedRegistryLines(const TestPackage& package) {
  std::vector<std::string> lines;
  for (int root = 0; root < 4; ++root) {
    for (const TestKey& key : package.registry[root]) {
      lines.push_back(KeyLine(root, key.path));
      for (const TestValue& value : key.values) lines.push_back(ValueLine(value.type, value.text));
      lines.push_back("end");
    }
  }
  return lines;
}

std::vector<std::string> ExpectedAssociationLines(const TestPackage& package) {
  std::vector<std::string> lines;
  for (const TestAssociation& a : package.associations) {
    lines.push_back(AssociationLine(a.extension, a.className, a.description, a.programPath,
                                    a.iconPath, a.iconIndex));
  }
  return lines;
}

}  // namespace testpkg
