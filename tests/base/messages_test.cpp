// ResourceText and the message boxes, seen through a recording handler.
#include <string.h>

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "box_recorder.h"

namespace {

class Messages : public ::testing::Test {
 protected:
  support::BoxRecorder recorder;
  const std::vector<support::RecordedBox>& recorded = recorder.Boxes();
};

TEST(ResourceTextTest, AbsentIdsGiveNull) {
  for (unsigned id : {0u, 1u, 18u, 19u, 20u, 21u, 34u, 40u, 65535u}) {
    ResourceText text(id);
    EXPECT_EQ(text.Text(), nullptr) << id;
    EXPECT_EQ(text.Length(), 0) << id;
    EXPECT_EQ(text.Text(), nullptr) << id;  // tried again, still absent
  }
}

TEST(ResourceTextTest, LoadsOnceAndLengthLoadsToo) {
  ResourceText text(IDS_READ_REGISTRY_KEY);
  const char* first = text.Text();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(text.Text(), first);
  ResourceText measured(IDS_CREATING_FILES);
  EXPECT_EQ(measured.Length(), 17);
  const char* loaded = measured.Text();
  EXPECT_STREQ(loaded, "Creating files...");
  EXPECT_EQ(measured.Text(), loaded);
}

#ifdef _WIN32
// Texts are loaded and freed on the main thread while the install's worker
// thread works, and with it the system functions it calls, which take
// their memory from the same process heap: every heap call must keep the
// heap's lock, or its lists break.
TEST(ResourceTextTest, TextsComeAndGoWhileAnotherThreadAllocates) {
  std::atomic<bool> stop{false};
  std::thread worker([&stop] {
    HANDLE heap = GetProcessHeap();
    void* blocks[16] = {};
    for (unsigned i = 0; !stop; ++i) {
      void*& block = blocks[i % 16];
      if (block) HeapFree(heap, 0, block);
      block = HeapAlloc(heap, 0, 16 + i % 200);
    }
    for (void* block : blocks) HeapFree(heap, 0, block);
  });
  for (int i = 0; i < 200000; ++i) {
    ResourceText text(IDS_UNCOMPRESS + i % 3);
    ASSERT_NE(text.Text(), nullptr);
  }
  stop = true;
  worker.join();
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
}
#endif

TEST_F(Messages, ErrorWithArgument) {
  int owner = 0;
  ShowError(&owner, "Demo Setup", IDS_OPEN_FILE, "C:\\App\\Uninst.log");
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].owner, &owner);
  EXPECT_EQ(recorded[0].id, 7u);
  EXPECT_EQ(recorded[0].text, "Unable to open the file 'C:\\App\\Uninst.log'.");
  EXPECT_EQ(recorded[0].caption, "Demo Setup");
  EXPECT_EQ(recorded[0].style, 0x10u);
}

TEST_F(Messages, ErrorTextsAreShownLiterally) {
  ShowError(nullptr, kProductCaption, IDS_UNKNOWN_DESTINATION);
  ShowError(nullptr, "", IDS_COM_INIT_FAILED, "ignored");
  ShowError(nullptr, "X", IDS_FOLDER_PATH);  // placeholder without argument
  ASSERT_EQ(recorded.size(), 3u);
  EXPECT_EQ(recorded[0].owner, nullptr);
  EXPECT_EQ(recorded[0].text, "Unknown destination type.");
  EXPECT_EQ(recorded[0].caption, "Vantorel");
  EXPECT_EQ(recorded[1].text, "Unable to initialise COM.");
  EXPECT_EQ(recorded[1].caption, "");
  EXPECT_EQ(recorded[2].text, "Unable to determine the path to the  directory.");
}

TEST_F(Messages, ArgumentWithPercentSignsIsNotAFormat) {
  ShowError(nullptr, "S", IDS_WRITE_FILE, "C:\\100%s\\%d%n.txt");
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].text, "Error writing to the file 'C:\\100%s\\%d%n.txt'.");
}

TEST_F(Messages, QuestionIsYesOnlyForYes) {
  struct Case {
    int answer;
    bool yes;
  };
  const Case cases[] = {
      {kAnswerYes, true}, {kAnswerNo, false}, {kAnswerOk, false}, {0, false}, {2, false}};
  for (const Case& c : cases) {
    recorder.Clear();
    recorder.Answer(c.answer);
    int page = 0;
    EXPECT_EQ(AskQuestion(&page, "Demo Setup", IDS_CONFIRM_EXIT), c.yes) << c.answer;
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].owner, &page);
    EXPECT_EQ(recorded[0].id, 2u);
    EXPECT_EQ(recorded[0].text, "Are you sure you want to exit the installer?");
    EXPECT_EQ(recorded[0].style, 0x124u);
  }
}

TEST_F(Messages, WarningHasNoOwnerAndNoId) {
  ShowWarning("Demo Setup", "Unable to display property sheet!");
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].owner, nullptr);
  EXPECT_EQ(recorded[0].id, 0u);
  EXPECT_EQ(recorded[0].text, "Unable to display property sheet!");
  EXPECT_EQ(recorded[0].style, 0x30u);
}

TEST_F(Messages, HandlerIsReplacedAndRestored) {
  MessageBoxHandler mine = SetMessageBoxHandler(nullptr);
  EXPECT_NE(mine, nullptr);
  EXPECT_EQ(SetMessageBoxHandler(mine), nullptr);
}

}  // namespace
