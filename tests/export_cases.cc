// Writes every row of the tables in report_cases.h as JSON, for the tests of
// the page's module under Node.js: the inputs and the report as hexadecimal
// bytes (JSON text would decode them), and the place that the evaluation in
// memory hands back beside the report.
//
//   zobnikari_export_cases <output.json>
#include <cstdio>
#include <string>

#include "driver/evaluation.h"
#include "report_cases.h"

namespace {

// Returns bytes as lower-case hexadecimal, two digits a byte.
std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

const char* FileName(zobnikari::InputRead file) {
  switch (file) {
    case zobnikari::InputRead::kTestData:
      return "testData";
    case zobnikari::InputRead::kSubmission:
      return "submission";
    default:
      return "none";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zobnikari_export_cases <output.json>\n");
    return 1;
  }
  std::string json = "[\n";
  for (const auto& [table, rows] : zobnikari::cases::kAllTables) {
    for (const zobnikari::cases::ReportCase& row : *rows) {
      const zobnikari::PlacedReport placed =
          zobnikari::EvaluateInMemoryPlaced(row.testData, row.submission);
      if (json.size() > 2) json += ",\n";
      // Table and row names are plain ASCII words.
      json += "{\"name\": \"" + table + "/" + row.name + "\", \"testData\": \"" +
              Hex(row.testData) + "\", \"submission\": \"" + Hex(row.submission) +
              "\", \"report\": \"" + Hex(row.report) + "\", \"file\": \"" + FileName(placed.file) +
              "\", \"line\": " + std::to_string(placed.line) +
              ", \"lineMissing\": " + (placed.lineMissing ? "true" : "false") + "}";
    }
  }
  json += "\n]\n";
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr || std::fwrite(json.data(), 1, json.size(), out) != json.size() ||
      std::fclose(out) != 0) {
    std::fprintf(stderr, "zobnikari_export_cases: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
