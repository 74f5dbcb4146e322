#include "engine/registry_text.h"

namespace {

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool SplitValueText(const SharedString& text, SharedString& name, SharedString& data) {
  const char* chars = text.Text();
  int equals = 0;
  while (chars[equals] != '\0' && chars[equals] != '=') ++equals;
  if (chars[equals] == '\0') return false;
  name = text.Middle(0, equals);
  data = text.Middle(equals + 1, text.Length() - equals - 1);
  return true;
}

void FillDestination(SharedString& text, const char* destination) {
  text.ReplaceAll("<Destination>", destination);
}

uint32_t ParseRegistryNumber(const char* text) {
  while (IsWhiteSpace(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10u + static_cast<uint32_t>(*text - '0');
  }
  return negative ? 0u - value : value;
}
