#include "common/assertion.h"

#include <utility>

namespace zobnikari {

const char kSourcePath[] = "Orv19Zobnikari.cpp";

EAssertion::EAssertion(std::string message, std::string file, std::int32_t line)
    : message(std::move(message)), file(std::move(file)), line(line) {}

void ThrowAssertion(std::string message, const char* file, Check check) {
  throw EAssertion(std::move(message), file, NumberOf(check));
}

std::string JoinPieces(std::initializer_list<std::string_view> pieces) {
  std::size_t size = 0;
  for (const std::string_view piece : pieces) size += piece.size();
  std::string joined;
  joined.reserve(size);
  for (const std::string_view piece : pieces) joined.append(piece);
  return joined;
}

std::string AtLine(std::int64_t lineNumber) {
  return "v " + IntToString(lineNumber) + ". vrstici ";
}

std::size_t FormatInt(std::int64_t value, char* out) {
  // Work on the magnitude as unsigned so that the most negative value has one.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char digits[kMaxIntText];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::size_t length = 0;
  if (value < 0) out[length++] = '-';
  while (count > 0) out[length++] = digits[--count];
  return length;
}

std::string IntToString(std::int32_t value) {
  return IntToString(static_cast<std::int64_t>(value));
}

std::string IntToString(std::int64_t value) {
  char text[kMaxIntText];
  return std::string(text, FormatInt(value, text));
}

}  // namespace zobnikari
