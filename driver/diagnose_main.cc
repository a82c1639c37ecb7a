// Orv19Zobnikari-diagnose: every defect of a submission at once, and where its
// points go, beside the official report.
//   Orv19Zobnikari-diagnose input.txt [submission.txt]
#include "driver/diagnose_command.h"

int main(int argc, char** argv) { return zobnikari::DiagnoseEntryPoint(argc, argv); }
