#include "driver/diagnose_command.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/platform.h"
#include "driver/diagnosis.h"
#include "driver/diagnosis_json.h"
#include "driver/failure_lines.h"

namespace zobnikari {

namespace {

constexpr std::string_view kUsage = "Uporaba: Orv19Zobnikari-diagnose input.txt [submission.txt]\n";

}  // namespace

int DiagnoseEntryPoint(int argc, char** argv) {
  // Outside the handler's scope: a fault names its file by the path held here.
  std::vector<std::string> arguments;
  try {
    arguments = CommandLineArguments(argc, argv);
    if (arguments.size() < 2 || arguments.size() > 3) {
      WriteStandardError({kUsage});
      return 1;
    }
    const Diagnosis diagnosis = arguments.size() == 3 ? DiagnoseFiles(arguments[1], arguments[2])
                                                      : DiagnoseTestDataFile(arguments[1]);
    bool written = true;
    SystemError error;
    WriteDiagnosisJson(diagnosis, [&](std::string_view piece) {
      if (written) written = WriteStandardOutput(piece, error);
    });
    if (!written) {
      WriteStandardError({"Orv19Zobnikari-diagnose: pisanje na standardni izhod ni uspelo: ",
                          ErrorText(error), "\n"});
      return 2;
    }
    return diagnosis.placed.passed ? 0 : 3;
  } catch (...) {
    // Only the system can fail the command before its output begins: an
    // input that cannot be opened or read, or no memory to begin.
    const std::string_view none;
    return WriteCurrentFailureLine({arguments.size() > 1 ? std::string_view(arguments[1]) : none,
                                    arguments.size() > 2 ? std::string_view(arguments[2]) : none,
                                    none});
  }
}

}  // namespace zobnikari
