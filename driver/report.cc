#include "driver/report.h"

#include <new>

#include "common/assertion.h"

namespace zobnikari {

namespace {

constexpr std::string_view kUnexpected =
    "Nepricakovana napaka.  Predlagamo, da obvestis organizatorje tekmovanja.\n-1\n";

// Returns the report that write(writer) writes in memory, in text that has
// room for the report for unexpected failures from the start.
template <typename WriteReport>
std::string InMemory(const WriteReport& write) {
  std::string text;
  text.reserve(kUnexpected.size());
  ReportWriter report(text);
  write(report);
  return text;
}

}  // namespace

const std::string_view kUnexpectedFailureReport = kUnexpected;

void ReportWriter::Write(std::string_view text) {
  if (file_ != nullptr) {
    file_->Write(text);
  } else if (!outOfMemory_) {
    try {
      text_->append(text);
    } catch (const std::bad_alloc&) {
      text_->assign(kUnexpected);  // within the room it was given
      outOfMemory_ = true;
    }
  }
}

void ReportWriter::Write(std::int64_t value) {
  char text[kMaxIntText];
  Write(std::string_view(text, FormatInt(value, text)));
}

void WriteOkReport(ReportWriter& report, const std::vector<ScoreEntry>& entries) {
  report.Write("OK\n");
  report.Write(static_cast<std::int64_t>(entries.size()));
  report.Write("\n");
  for (const ScoreEntry& entry : entries) {
    report.Write(entry.id);
    report.Write(" ");
    report.Write(entry.score);
    report.Write("\n");
  }
}

void WriteFailureReport(ReportWriter& report, Check check, std::string_view message) {
  report.Write("Napaka [");
  // The label is fixed text, the main source file's name: the same text
  // as every failure's path, but never taken from the failure.
  report.Write(kSourcePath);
  report.Write(":");
  report.Write(NumberOf(check));
  report.Write("]: ");
  report.Write(message);
  report.Write("\n-1\n");
}

std::string OkReport(const std::vector<ScoreEntry>& entries) {
  return InMemory([&](ReportWriter& report) { WriteOkReport(report, entries); });
}

std::string FailureReport(Check check, std::string_view message) {
  return InMemory([&](ReportWriter& report) { WriteFailureReport(report, check, message); });
}

}  // namespace zobnikari
