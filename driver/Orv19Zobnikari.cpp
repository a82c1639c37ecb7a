// Orv19Zobnikari: the evaluator of the competition task "Zobnikari".
//   Orv19Zobnikari eval input.txt submission.txt report.txt
// checks a submission against the official test data and writes the report.
#include <cstdio>

#include "common/platform.h"
#include "driver/evaluation.h"

int main(int argc, char** argv) {
  try {
    return zobnikari::EntryPoint(zobnikari::CommandLineArguments(argc, argv));
  } catch (...) {
    // Only reachable before a report is open (memory exhausted while taking
    // the command line); a run that has opened its report always writes it.
    std::fputs("Orv19Zobnikari: nepricakovana napaka pred zacetkom vrednotenja\n", stderr);
    return 2;
  }
}
