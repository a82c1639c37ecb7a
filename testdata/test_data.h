// The official test-data file: the task name, the number of test cases, then
// that many test-case blocks numbered 1, 2, 3 and so on.
#ifndef ZOBNIKARI_TESTDATA_TEST_DATA_H_
#define ZOBNIKARI_TESTDATA_TEST_DATA_H_

#include <string>
#include <vector>

#include "common/line_reader.h"
#include "testdata/test_case.h"

namespace zobnikari {

// The task name: the test data's first line and a submission's second line
// must equal it byte for byte.
extern const std::string TaskName;

// Reads and validates a test-data file from input into testCases, which is
// emptied first and then holds one record per announced block, record i with
// id i. Lines after the announced blocks are never read. Throws EAssertion at
// the first defect (checks 119 to 133, or any failure of a block).
void ReadTestData(LineReader& input, std::vector<TestCase>& testCases);

// As above, from the file at path, which is closed on every way out. A file
// that cannot be opened reads as empty; throws IoFailure (of role kTestData)
// when the system fails to open or read it.
void ReadTestData(const std::string& path, std::vector<TestCase>& testCases);

}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTDATA_TEST_DATA_H_
