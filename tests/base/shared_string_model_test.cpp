// SharedString against std::string: long random sequences of the program's
// operations on strings that share blocks, checked after every step.
#include <string.h>

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "base/shared_string.h"
#include "string_cases.h"

namespace {

constexpr int kStrings = 4;

// Texts from a small alphabet, so that searches and replacements hit.
std::string RandomText(std::mt19937& random, int maxLength) {
  static const char kAlphabet[] = "abAB=<>\\";
  std::string text(random() % (maxLength + 1), ' ');
  for (char& c : text) c = kAlphabet[random() % (sizeof kAlphabet - 1)];
  return text;
}

std::string ModelReplaceAll(std::string text, const std::string& from, const std::string& to,
                            int* count) {
  *count = 0;
  if (from.empty()) return text;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
    ++*count;
  }
  return text;
}

void ExpectSame(const SharedString& s, const std::string& model, int step) {
  const StringHeader* header = BlockOf(s);
  ASSERT_EQ(std::string(s.Text(), s.Length()), model) << "step " << step;
  ASSERT_EQ(s.Text()[s.Length()], '\0') << "step " << step;
  ASSERT_LE(header->length, header->capacity) << "step " << step;
  ASSERT_TRUE(header->referenceCount >= 1 ||
              (header->referenceCount == -1 && header->capacity == 0))
      << "step " << step;
}

TEST(SharedStringModel, RandomOperationsMatchStdString) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    SharedString strings[kStrings];
    std::string models[kStrings];
    for (int step = 0; step < 400; ++step) {
      int i = random() % kStrings;
      int j = random() % kStrings;
      SharedString& s = strings[i];
      std::string& model = models[i];
      std::string text = RandomText(random, 6);
      switch (random() % 10) {
        case 0:
          s = text.c_str();
          model = text;
          break;
        case 1:
          s = strings[j];
          model = models[j];
          break;
        case 2:
          s += text.c_str();
          model += text;
          break;
        case 3:
          s += text.empty() ? 'c' : text[0];
          model += text.empty() ? 'c' : text[0];
          break;
        case 4: {
          std::string other = models[j];
          s += strings[j];
          model += other;
          break;
        }
        case 5:
          s = strings[j] + text.c_str();
          model = models[j] + text;
          break;
        case 6: {
          std::string to = RandomText(random, 4);
          int expected = 0;
          model = ModelReplaceAll(model, text, to, &expected);
          ASSERT_EQ(s.ReplaceAll(text.c_str(), to.c_str()), expected)
              << "seed " << seed << " step " << step;
          break;
        }
        case 7: {
          int first = static_cast<int>(random() % 10) - 2;
          int count = static_cast<int>(random() % 10) - 2;
          int length = static_cast<int>(models[j].size());
          int from = first < 0 ? 0 : first;
          int n = count < 0 ? 0 : count;
          std::string expected = from > length ? std::string() : models[j].substr(from, n);
          s = strings[j].Middle(first, count);
          model = expected;
          break;
        }
        case 8: {
          int minimum = static_cast<int>(random() % 12);
          char* buffer = s.GetBuffer(minimum);
          std::string written = RandomText(random, minimum);
          memcpy(buffer, written.c_str(), written.size() + 1);
          s.ReleaseBuffer();
          model = written;
          break;
        }
        case 9: {
          std::string argument = models[j];
          FormatString(s, "[%s]%d", strings[j].Text(), step);
          model = "[" + argument + "]" + std::to_string(step);
          break;
        }
      }
      for (int k = 0; k < kStrings; ++k) ExpectSame(strings[k], models[k], step);
    }
  }
}

}  // namespace
