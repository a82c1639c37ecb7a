// The command for contestants who script their solver's loop:
//   Orv19Zobnikari-diagnose input.txt [submission.txt]
// writes the diagnosis of the two files, or of the test data alone, to
// standard output as one line of JSON (driver/diagnosis_json.h).
#ifndef ZOBNIKARI_DRIVER_DIAGNOSE_COMMAND_H_
#define ZOBNIKARI_DRIVER_DIAGNOSE_COMMAND_H_

namespace zobnikari {

// Runs the command on main's arguments and returns its exit status: 0 when
// the report is OK (with the test data alone: when it is valid), 3 when it is
// not; 1 after the usage line on standard error when not given one or two
// paths; 2 with standard output empty and the program's line on standard
// error for a fault of the machine (and a line of its own when standard output
// cannot be written).
int DiagnoseEntryPoint(int argc, char** argv);

}  // namespace zobnikari

#endif  // ZOBNIKARI_DRIVER_DIAGNOSE_COMMAND_H_
