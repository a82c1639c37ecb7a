// Every check of the evaluator, named by what it guards, with the fixed number
// that a failure report shows for it ("Napaka [Orv19Zobnikari.cpp:<number>]").
// The numbers are part of the report and never change; this list is the one
// place that writes them, and the index of every check.
#ifndef ZOBNIKARI_COMMON_CHECKS_H_
#define ZOBNIKARI_COMMON_CHECKS_H_

#include <cstddef>
#include <cstdint>

namespace zobnikari {

// The list: X(name, number) for every check, grouped by the reader that makes
// it. Each name and number stands here once; the enumeration and the array
// below are made from it.
#define ZOBNIKARI_CHECKS(X)                                               \
  /* A list line (points, a finishing order, a team). */                  \
  X(kListByteNotDigit, 55)   /* a byte that is neither blank nor digit */ \
  X(kListNumberTooLarge, 61) /* a number above 2147483647 */              \
  /* A test-case block of the test data. */                               \
  X(kSeparatorLineMissing, 79)                                            \
  X(kSeparatorLineNotEmpty, 80)                                           \
  X(kCaseHeaderMissing, 81)                                               \
  X(kCaseHeaderNotFiveNumbers, 83)                                        \
  X(kCyclistCountOutOfRange, 84)  /* n */                                 \
  X(kRaceCountOutOfRange, 85)     /* d */                                 \
  X(kTeamSizeOutOfRange, 86)      /* k */                                 \
  X(kNewcomerLimitOutOfRange, 87) /* m */                                 \
  X(kPointsLineMissing, 89)                                               \
  X(kPointsCountNotN, 91)                                                 \
  X(kPointsOutOfRange, 94)                                                \
  X(kPointsRise, 95)                                                      \
  X(kRaceLineMissing, 99)                                                 \
  X(kRaceLineCountNotN, 102)                                              \
  X(kFinisherOutOfRange, 106)                                             \
  X(kFinisherTwice, 107)                                                  \
  /* The test-data file's header and the numbering of its blocks. */      \
  X(kTaskNameMissing, 119)                                                \
  X(kTaskNameWrong, 120)                                                  \
  X(kCaseCountMissing, 123)                                               \
  X(kCaseCountNotPositive, 126)                                           \
  X(kCaseNumberOutOfOrder, 133)                                           \
  /* An answer block of the submission. */                                \
  X(kTeamLineMissing, 158)                                                \
  X(kTeamSizeNotK, 160)                                                   \
  X(kTeamMemberOutOfRange, 167)                                           \
  X(kTeamMemberTwice, 169)                                                \
  X(kTooManyNewcomers, 174)                                               \
  /* The submission's header and its test-case number lines. */           \
  X(kContestantNumberMissing, 202)                                        \
  X(kContestantNumberNotSixBytes, 203)                                    \
  X(kContestantNumberNotInteger, 205)                                     \
  X(kSubmissionTaskNameMissing, 206)                                      \
  X(kSubmissionTaskNameWrong, 207)                                        \
  X(kCaseNumberLineNotInteger, 215)                                       \
  X(kCaseNumberUnknown, 217)

// A check; its value is its number.
enum class Check : std::int32_t {
#define ZOBNIKARI_CHECK_ENUMERATOR(name, number) name = number,
  ZOBNIKARI_CHECKS(ZOBNIKARI_CHECK_ENUMERATOR)
#undef ZOBNIKARI_CHECK_ENUMERATOR
};

// Every check, in the order of the list.
inline constexpr Check kAllChecks[] = {
#define ZOBNIKARI_CHECK_ELEMENT(name, number) Check::name,
    ZOBNIKARI_CHECKS(ZOBNIKARI_CHECK_ELEMENT)
#undef ZOBNIKARI_CHECK_ELEMENT
};

// Returns the number that a failure report shows for check.
constexpr std::int32_t NumberOf(Check check) { return static_cast<std::int32_t>(check); }

// Returns true when no two checks of the list share a number.
constexpr bool ChecksHaveDistinctNumbers() {
  constexpr std::size_t count = sizeof kAllChecks / sizeof kAllChecks[0];
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t j = i + 1; j < count; ++j) {
      if (kAllChecks[i] == kAllChecks[j]) return false;
    }
  }
  return true;
}

// A report's number names one check: a number given twice would make two
// checks indistinguishable, and no build may have one.
static_assert(ChecksHaveDistinctNumbers(), "two checks share a number");

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_CHECKS_H_
