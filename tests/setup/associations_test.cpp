// File-type associations as the install writes them: a package's section
// read by the setup program's reader and written by its engine in this
// process, into the prefix's real HKEY_CLASSES_ROOT. In this process,
// because that is where the shell's change notifications can be watched:
// Wine delivers them only to windows of the process that sends them.
#include "engine/associations.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "package/association_section.h"
#include "package/memory_package_file.h"
#include "package/package_input.h"
#include "registry.h"
#include "test_package_writer.h"

namespace {

const char kDestination[] = "D:\\Apps\\VT Associations";
const UINT kNotified = WM_APP + 1;

// Counts the shell's "associations changed" notifications while it exists.
class ChangeWatcher {
 public:
  ChangeWatcher() {
    window_ =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    SHChangeNotifyEntry everything = {nullptr, TRUE};
    registration_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel, SHCNE_ASSOCCHANGED,
                                           kNotified, 1, &everything);
  }
  ~ChangeWatcher() {
    SHChangeNotifyDeregister(registration_);
    DestroyWindow(window_);
  }
  bool Ready() const { return window_ != nullptr && registration_ != 0; }
  // The notifications so far, once those still queued have arrived.
  int Count() {
    MSG message;
    while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    return count_;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ChangeWatcher*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kNotified) {
      if (static_cast<LONG>(lParam) & SHCNE_ASSOCCHANGED) ++self->count_;
      return 0;
    }
    return CallWindowProcA(self->previous_, window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  WNDPROC previous_ = nullptr;
  ULONG registration_ = 0;
  int count_ = 0;
};

// Reads `entries` as a package's association section and writes them, as
// the install does; the notifications that this caused.
int Install(const std::vector<testpkg::TestAssociation>& entries) {
  testpkg::TestWriter writer;
  const std::size_t start = writer.Size();
  writer.Associations(entries);
  const testpkg::Bytes bytes = writer.Finish();
  MemoryPackageFile file(bytes.data(), bytes.size());
  file.Seek(start);
  PackageInput input = {&file, "setup.exe", "VT Associations Setup"};
  ChangeWatcher watcher;
  EXPECT_TRUE(watcher.Ready());
  AssociationWriter associations(kDestination);
  EXPECT_TRUE(ReadAssociations(input, associations));
  associations.Finish();
  return watcher.Count();
}

std::string DefaultText(const std::string& key) {
  return support::RegistryText(HKEY_CLASSES_ROOT, key, "").value_or("(missing)");
}

// Stores a default value of `size` bytes of `text`: a terminator is only
// there when it is counted. (Windows adds a forgotten one when the byte
// after the data is a NUL, so that byte is not.)
void StoreDefault(const std::string& key, const std::string& text, DWORD size) {
  HKEY handle;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, key.c_str(), &handle), ERROR_SUCCESS);
  std::string bytes = text + '\0';
  if (size < bytes.size()) bytes[size] = 'x';
  RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()), size);
  RegCloseKey(handle);
}

// Tells whether anything was stored in a key of HKEY_CLASSES_ROOT (its
// values, or its subkeys' when `subtree`) since this was made.
class StoreWatch {
 public:
  StoreWatch(const std::string& key, bool subtree)
      : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.empty() ? nullptr : key.c_str(), 0, KEY_NOTIFY,
                      &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
    watching_ = key_ && RegNotifyChangeKeyValue(key_, subtree,
                                                REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                                event_, TRUE) == ERROR_SUCCESS;
  }
  ~StoreWatch() {
    if (key_) RegCloseKey(key_);
    CloseHandle(event_);
  }
  bool Watching() const { return watching_; }
  bool Stored() const { return WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }

 private:
  HANDLE event_;
  HKEY key_ = nullptr;
  bool watching_ = false;
};

void RemoveAssociation(const std::string& extension, const std::string& className) {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ("." + extension).c_str());
  RegDeleteKeyA(HKEY_CLASSES_ROOT, ("." + extension).c_str());
  RegDeleteTreeA(HKEY_CLASSES_ROOT, className.c_str());
  RegDeleteKeyA(HKEY_CLASSES_ROOT, className.c_str());
}

const testpkg::TestAssociation kDocument = {"vtadoc",
                                            "VantorelTest.Document",
                                            "Vantorel test document",
                                            "<Destination>\\app.exe",
                                            "<Destination>\\icons.dll",
                                            2};
const testpkg::TestAssociation kQuoted = {"vtaquo",
                                          "VantorelTest.Quoted",
                                          "Quoted program",
                                          "\"C:\\Quoted Program\\run.exe\"",
                                          "\"C:\\Quoted Program\\run.exe\"",
                                          -101};

struct ExpectedValues {
  const testpkg::TestAssociation& entry;
  std::string command, icon;
};

const ExpectedValues kExpected[] = {
    {kDocument, "\"D:\\Apps\\VT Associations\\app.exe\" \"%1\"",
     "\"D:\\Apps\\VT Associations\\icons.dll\",2"},
    {kQuoted, "\"C:\\Quoted Program\\run.exe\" \"%1\"", "\"C:\\Quoted Program\\run.exe\",-101"},
};

void ExpectWritten() {
  for (const ExpectedValues& e : kExpected) {
    SCOPED_TRACE(e.entry.extension);
    EXPECT_EQ(DefaultText("." + e.entry.extension), e.entry.className);
    EXPECT_EQ(DefaultText(e.entry.className), e.entry.description);
    EXPECT_EQ(DefaultText(e.entry.className + "\\shell\\open\\command"), e.command);
    EXPECT_EQ(DefaultText(e.entry.className + "\\DefaultIcon"), e.icon);
  }
}

TEST(Associations, WrittenOnceAndLeftAloneWhenAlreadyThere) {
  for (const ExpectedValues& e : kExpected) RemoveAssociation(e.entry.extension, e.entry.className);

  EXPECT_EQ(Install({kDocument, kQuoted}), 1) << "one notification for all entries";
  ExpectWritten();

  // Another program took the extension meanwhile: it is taken back, which
  // is no change; the class keys are not touched.
  StoreDefault(".vtadoc", "Other.Program", sizeof "Other.Program");
  StoreWatch classKeys(kDocument.className, true);
  ASSERT_TRUE(classKeys.Watching());
  EXPECT_EQ(Install({kDocument, kQuoted}), 0) << "nothing changed";
  ExpectWritten();
  EXPECT_FALSE(classKeys.Stored());
}

// Values that cannot be compared within the 255 bytes read are different:
// longer ones, and ones stored without their terminator.
TEST(Associations, ValuesBeyondTheComparedBytesAreRewritten) {
  testpkg::TestAssociation longDescription = kDocument;
  longDescription.description = std::string(300, 'd');
  const std::string commandKey = kDocument.className + "\\shell\\open\\command";
  const struct {
    const char* name;
    testpkg::TestAssociation entry;
    std::string key, stored;
    DWORD storedSize;
  } cases[] = {
      {"description of 300 bytes, the same", longDescription, kDocument.className,
       longDescription.description, 301},
      {"command without terminator", kDocument, commandKey, kExpected[0].command,
       static_cast<DWORD>(kExpected[0].command.size())},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveAssociation(kDocument.extension, kDocument.className);
    EXPECT_EQ(Install({c.entry}), 1);
    StoreDefault(c.key, c.stored, c.storedSize);
    EXPECT_EQ(Install({c.entry}), 1) << "not rewritten";
    char text[1024] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(
        RegQueryValueA(HKEY_CLASSES_ROOT, c.key.c_str(), text, reinterpret_cast<LONG*>(&size)),
        ERROR_SUCCESS);
    EXPECT_EQ(std::string(text), c.stored);
    EXPECT_EQ(size, c.stored.size() + 1) << "stored with its terminator";
  }
}

TEST(Associations, NoEntriesLeaveTheRegistryAlone) {
  StoreWatch classes("", false);
  ASSERT_TRUE(classes.Watching());
  EXPECT_EQ(Install({}), 0);
  EXPECT_FALSE(classes.Stored());
}

}  // namespace
