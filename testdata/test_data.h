// The official test-data file: the task name, the number of test cases, then
// that many test-case blocks numbered 1, 2, 3 and so on.
#ifndef ZOBNIKARI_TESTDATA_TEST_DATA_H_
#define ZOBNIKARI_TESTDATA_TEST_DATA_H_

#include <string>
#include <vector>

#include "testdata/test_case.h"

namespace zobnikari {

// The task name: the test data's first line and a submission's second line
// must equal it byte for byte.
extern const std::string TaskName;

// Reads and validates the test-data file at path into testCases, which is
// emptied first and then holds one record per announced block, record i with
// id i. Lines after the announced blocks are never read. A file that cannot be
// opened reads as empty. Throws EAssertion at the first defect (source lines
// 119 to 133, or any failure of a block), the file closed.
void ReadTestData(const std::string& path, std::vector<TestCase>& testCases);

}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTDATA_TEST_DATA_H_
