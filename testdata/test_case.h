// One test case of the official test data, and the reader of its block:
// an empty line, the header "id n d k m", the points by place, and the
// finishing order of every race.
#ifndef ZOBNIKARI_TESTDATA_TEST_CASE_H_
#define ZOBNIKARI_TESTDATA_TEST_CASE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/int_table.h"
#include "common/line_reader.h"

namespace zobnikari {

// A test case as a plain value: it owns its string and lists, and copying it
// copies them whole. A fresh record is empty, with all numbers 0.
struct TestCase {
  std::string taskName;         // the task name of the test data it belongs to
  std::int32_t id = 0;          // the test-case number written on the header line
  std::int32_t n = 0;           // cyclists, numbered 1 to n
  std::int32_t k = 0;           // team size
  std::int32_t m = 0;           // most newcomers to a team from one race to the next
  std::int32_t d = 0;           // races
  std::vector<std::int32_t> t;  // t[p - 1]: points for place p
  IntTable rankings;            // rankings[j - 1]: race j's n finishers, winner first

  // Reads one block from input into this record, storing name as taskName.
  // lineNumber holds the number of the last line read before the block and is
  // raised by one for every line read or tried; on return it is the number of
  // the block's last line. Throws EAssertion at the first defect (source lines
  // 79 to 107, or a list failure of ParseIntList), the record left part-filled.
  void ReadTestCase(LineReader& input, std::int64_t& lineNumber, std::string name);
};

// Walks count cyclist numbers of one line (a finishing order, a team) in line
// order, marking each: at the first number x outside 1 to n, or whose mark,
// marks[x - 1], already is mark, calls stop(x) and returns its position; else
// sets the mark, calls visit(x - 1, its mark before) and goes on. Returns
// count when every number passed. A fresh mark per line finds repeats without
// clearing the marks. A stop that never returns (one that throws a check's
// failure) leaves the loop a single exit, which the compiler unrolls; a
// pointer walks the line, and only a stop works out a position. REQUIRES:
// marks holds n marks.
template <typename Stop, typename Visit>
inline std::size_t MarkCyclists(const std::int32_t* numbers, std::size_t count, std::int32_t n,
                                std::int32_t* marks, std::int32_t mark, Stop stop, Visit visit) {
  const std::uint32_t cyclists = static_cast<std::uint32_t>(n);
  const std::int32_t* const end = numbers + count;
  for (const std::int32_t* p = numbers; p != end; ++p) {
    const std::int32_t x = *p;
    const std::uint32_t index = static_cast<std::uint32_t>(x) - 1;  // x < 1 wraps past n
    if (index >= cyclists) {
      stop(x);
      return static_cast<std::size_t>(p - numbers);
    }
    const std::int32_t previous = marks[index];
    if (previous == mark) {
      stop(x);
      return static_cast<std::size_t>(p - numbers);
    }
    marks[index] = mark;
    visit(index, previous);
  }
  return count;
}

// Returns true when cyclist number x lies outside 1 to n: at the position
// where MarkCyclists stopped, a number that is not out of range is a repeat.
inline bool OutOfRange(std::int32_t x, std::int32_t n) {
  return static_cast<std::uint32_t>(x) - 1 >= static_cast<std::uint32_t>(n);
}

}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTDATA_TEST_CASE_H_
