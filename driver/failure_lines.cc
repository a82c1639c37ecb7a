#include "driver/failure_lines.h"

#include <initializer_list>

namespace zobnikari {

namespace {

// Writes one line on standard error: the program's name, the words that mark
// a fault of the machine (nothing to set right, the same run may well succeed
// again) when machine, then the pieces.
void Complain(bool machine, std::initializer_list<std::string_view> pieces) {
  WriteStandardError({"Orv19Zobnikari: ", machine ? "napaka racunalnika: " : ""});
  WriteStandardError(pieces);
  WriteStandardError({"\n"});
}

// The words of a failure's line before and after the file's path.
struct Words {
  std::string_view before;
  std::string_view after;
};

// Returns the words that tell what failed with which kind of file.
Words WordsOf(const IoFailure& failure) {
  const bool report = failure.role == FileRole::kReport;
  switch (failure.operation) {
    case FileOperation::kOpen:
      return report ? Words{"datoteke s porocilom \"", "\" ni mogoce odpreti za pisanje: "}
                    : Words{"datoteke \"", "\" ni mogoce odpreti za branje: "};
    case FileOperation::kRead:
      return {"branje datoteke \"", "\" ni uspelo: "};
    case FileOperation::kWrite:
    case FileOperation::kClose:
      break;
  }
  return {"pisanje porocila \"", "\" ni uspelo: "};
}

}  // namespace

std::string_view RunPaths::Of(FileRole role) const {
  switch (role) {
    case FileRole::kTestData:
      return testData;
    case FileRole::kSubmission:
      return submission;
    case FileRole::kReport:
      break;
  }
  return report;
}

void WriteFailureLine(const IoFailure& failure, const RunPaths& paths) {
  const Words words = WordsOf(failure);
  Complain(failure.machine,
           {words.before, paths.Of(failure.role), words.after, ErrorText(failure.error)});
}

void WriteReportIsInputLine(FileRole input, const RunPaths& paths) {
  Complain(false, {"datoteka s porocilom \"", paths.report,
                   input == FileRole::kTestData ? "\" je datoteka s testnimi podatki"
                                                : "\" je oddana datoteka",
                   "; porocilo ni zapisano"});
}

void WriteOutOfMemoryLine() {
  Complain(true, {"zmanjkalo je pomnilnika pred zacetkom vrednotenja"});
}

int WriteCurrentFailureLine(const RunPaths& paths) {
  try {
    throw;
  } catch (const IoFailure& failure) {
    WriteFailureLine(failure, paths);
  } catch (...) {
    WriteOutOfMemoryLine();
  }
  return 2;
}

}  // namespace zobnikari
