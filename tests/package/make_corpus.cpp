// Writes the fuzz target's seed corpus: a few real packages from the test
// writer, each showing one shape of the layout.
//   make_reader_corpus DIRECTORY
#include <cstdio>
#include <fstream>
#include <string>

#include "stand_in_image.h"
#include "test_package_writer.h"

using namespace testpkg;

namespace {

void Write(const std::string& directory, const char* name, const Bytes& bytes) {
  std::ofstream out(directory + "/" + name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_reader_corpus DIRECTORY\n");
    return 1;
  }
  std::string dir = argv[1];

  Write(dir, "rich-compressed.pkg", BuildPackage(RichPackage()));

  Write(dir, "rich-stored.pkg", BuildPackage(RichPackage(Form::kStored)));

  TestPackage noFiles = RichPackage();
  noFiles.files.clear();
  noFiles.hasLicence = false;
  Write(dir, "no-files.pkg", BuildPackage(noFiles));

  Write(dir, "minimal.pkg", BuildPackage(TestPackage()));

  TestPackage edges;
  edges.appName = std::string(31, 'N');
  edges.programFileName = std::string(31, 'F');
  edges.hasLicence = true;
  edges.licence = "";
  edges.licenceForm = Form::kStored;
  TestFile file;
  file.hasVersion = 2;
  file.contents = ToBytes("x");
  edges.files = {file};
  Write(dir, "edges.pkg", BuildPackage(edges));

  // File data whose stream stops before its stated size but covers the file.
  TestWriter shortStream;
  shortStream.Header(TestPackage());
  shortStream.StoredBlock(ToBytes("MZ"), Form::kCompressed);
  shortStream.U32(1);
  TestFile one;
  one.contents = ToBytes("twelve bytes");
  shortStream.File(one);
  Bytes stream = Deflate(one.contents);
  shortStream.Block(static_cast<std::uint32_t>(stream.size()), 4096, stream);
  shortStream.Registry({});
  shortStream.Associations({});
  Write(dir, "short-stream.pkg", shortStream.Finish());

  // A signed setup file: PE32+ image, package, padding, certificate table.
  Write(dir, "signed.pkg",
        Signed(SetupFileWith(support::StandInImage(1, true), BuildPackage(RichPackage())), 3, 256,
               true));
  return 0;
}
