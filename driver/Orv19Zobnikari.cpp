// Orv19Zobnikari: the evaluator of the competition task "Zobnikari".
//   Orv19Zobnikari eval input.txt submission.txt report.txt
// checks a submission against the official test data and writes the report.
#include "driver/evaluation.h"

int main(int argc, char** argv) { return zobnikari::EntryPoint(argc, argv); }
