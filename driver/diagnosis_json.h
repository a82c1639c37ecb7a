// The diagnosis as the command writes it: one JSON document on one line,
// ended by LF, without blanks, its keys in a fixed order. Strings carry bytes:
// '"' and '\' are escaped with a backslash, and every other byte outside
// 0x20 to 0x7E is written as \u00xx (lower-case hex), one code point per byte,
// so that a reader gets the bytes back as Latin-1.
#ifndef ZOBNIKARI_DRIVER_DIAGNOSIS_JSON_H_
#define ZOBNIKARI_DRIVER_DIAGNOSIS_JSON_H_

#include <functional>
#include <string>
#include <string_view>

#include "driver/diagnosis.h"

namespace zobnikari {

// Receives the document piece by piece, each piece at most a few KiB more
// than kJsonPiece bytes, in order.
using JsonSink = std::function<void(std::string_view)>;

// The size of the pieces that WriteDiagnosisJson hands its sink.
constexpr std::size_t kJsonPiece = std::size_t{1} << 16;

// Writes diagnosis to sink as its JSON document:
//   {"report":..,"findings":[..],"moreFindings":..,"blocks":[..],"testData":{..}}
// without "report" and "blocks" for the test data alone, and with
// "incomplete":true at the end when memory ran out. Allocates only its
// buffer of a piece, before it writes anything; throws std::bad_alloc when
// there is no room for that.
void WriteDiagnosisJson(const Diagnosis& diagnosis, const JsonSink& sink);

// Returns the JSON document of diagnosis, as WriteDiagnosisJson writes it.
std::string DiagnosisJson(const Diagnosis& diagnosis);

// Returns bytes as a JSON string, quotes included, by the rule above.
std::string JsonString(std::string_view bytes);

}  // namespace zobnikari

#endif  // ZOBNIKARI_DRIVER_DIAGNOSIS_JSON_H_
