#include "driver/diagnosis_json.h"

#include <cstdint>

#include "common/assertion.h"

namespace zobnikari {

namespace {

// The document's text, handed to the sink a piece at a time.
class JsonOutput {
 public:
  explicit JsonOutput(const JsonSink& sink) : sink_(sink) { buffer_.reserve(kJsonPiece + kRoom); }
  JsonOutput(const JsonOutput&) = delete;
  JsonOutput& operator=(const JsonOutput&) = delete;

  // Adds text that holds nothing to escape. REQUIRES: text.size() <= kRoom.
  void Text(std::string_view text) {
    buffer_.append(text);
    Pass();
  }
  void Number(std::int64_t value) {
    char text[kMaxIntText];
    Text(std::string_view(text, FormatInt(value, text)));
  }
  void Boolean(bool value) { Text(value ? "true" : "false"); }
  // Adds a key and its colon, after a comma unless first.
  void Key(std::string_view key, bool first = false) {
    if (!first) Text(",");
    Text("\"");
    Text(key);
    Text("\":");
  }
  // Adds a key and its number.
  void Field(std::string_view key, std::int64_t value, bool first = false) {
    Key(key, first);
    Number(value);
  }
  // Adds a key and its truth value.
  void Flag(std::string_view key, bool value) {
    Key(key);
    Boolean(value);
  }
  // Opens an object of a list, after a comma unless it is the first.
  void Open(bool& first) {
    Text(first ? "{" : ",{");
    first = false;
  }
  // Adds bytes as a JSON string.
  void String(std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    buffer_.push_back('"');
    for (const char c : bytes) {
      const unsigned char byte = static_cast<unsigned char>(c);
      if (byte == '"' || byte == '\\') {
        buffer_.push_back('\\');
        buffer_.push_back(c);
      } else if (byte >= 0x20 && byte <= 0x7e) {
        buffer_.push_back(c);
      } else {
        const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 15]};
        buffer_.append(escape, sizeof escape);
      }
      if (buffer_.size() >= kJsonPiece) Pass();
    }
    buffer_.push_back('"');
    Pass();
  }
  // Hands the rest to the sink.
  void Flush() {
    if (!buffer_.empty()) sink_(buffer_);
    buffer_.clear();
  }

 private:
  // Room beyond a piece, for what is added before the next test.
  static constexpr std::size_t kRoom = 64;

  // Hands the buffer to the sink once it holds a piece.
  void Pass() {
    if (buffer_.size() >= kJsonPiece) Flush();
  }

  const JsonSink& sink_;
  std::string buffer_;
};

const char* FileName(InputRead file) {
  return file == InputRead::kTestData ? "testdata" : "submission";
}

void WriteFindings(const Diagnosis& diagnosis, JsonOutput& out) {
  out.Key("findings", !diagnosis.withSubmission);
  out.Text("[");
  bool first = true;
  for (const Finding& finding : diagnosis.findings) {
    out.Open(first);
    out.Key("file", true);
    out.String(FileName(finding.file));
    out.Field("line", finding.line);
    out.Flag("missing", finding.missing);
    out.Field("check", NumberOf(finding.check));
    out.Key("message");
    out.String(finding.message);
    out.Text("}");
  }
  out.Text("]");
  out.Field("moreFindings", static_cast<std::int64_t>(diagnosis.moreFindings));
}

// Adds the races of an accepted block: [points, newcomers] for each.
void WriteRaces(const BlockRaces& races, JsonOutput& out) {
  out.Key("races");
  out.Text("[");
  for (std::size_t r = 0; r < races.points.size(); ++r) {
    out.Text(r == 0 ? "[" : ",[");
    out.Number(races.points[r]);
    out.Text(",");
    out.Number(races.newcomers[r]);
    out.Text("]");
  }
  out.Text("]");
}

void WriteBlocks(const Diagnosis& diagnosis, JsonOutput& out) {
  out.Key("blocks");
  out.Text("[");
  std::size_t accepted = 0;
  bool first = true;
  for (const AnswerBlock& block : diagnosis.blocks) {
    out.Open(first);
    out.Field("id", block.id, true);
    out.Field("line", block.line);
    out.Flag("accepted", block.accepted);
    if (block.accepted) {
      out.Field("score", block.score);
      out.Field("ceiling", block.ceiling);
      if (accepted < diagnosis.races.size()) WriteRaces(diagnosis.races[accepted], out);
      ++accepted;
    }
    out.Text("}");
  }
  out.Text("]");
}

void WriteTestData(const Diagnosis& diagnosis, JsonOutput& out) {
  out.Key("testData");
  out.Text("{");
  out.Key("valid", true);
  out.Boolean(diagnosis.testDataValid);
  out.Key("cases");
  out.Text("[");
  bool first = true;
  for (const CaseSummary& summary : diagnosis.cases) {
    out.Open(first);
    out.Field("id", summary.id, true);
    out.Field("n", summary.n);
    out.Field("d", summary.d);
    out.Field("k", summary.k);
    out.Field("m", summary.m);
    out.Text("}");
  }
  out.Text("]}");
}

}  // namespace

void WriteDiagnosisJson(const Diagnosis& diagnosis, const JsonSink& sink) {
  JsonOutput out(sink);
  out.Text("{");
  if (diagnosis.withSubmission) {
    out.Key("report", true);
    out.String(diagnosis.placed.report);
  }
  WriteFindings(diagnosis, out);
  if (diagnosis.withSubmission) WriteBlocks(diagnosis, out);
  WriteTestData(diagnosis, out);
  if (diagnosis.incomplete) out.Flag("incomplete", true);
  out.Text("}\n");
  out.Flush();
}

std::string DiagnosisJson(const Diagnosis& diagnosis) {
  std::string json;
  const JsonSink sink = [&](std::string_view piece) { json.append(piece); };
  WriteDiagnosisJson(diagnosis, sink);
  return json;
}

std::string JsonString(std::string_view bytes) {
  std::string json;
  const JsonSink sink = [&](std::string_view piece) { json.append(piece); };
  JsonOutput out(sink);
  out.String(bytes);
  out.Flush();
  return json;
}

}  // namespace zobnikari
