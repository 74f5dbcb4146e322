// What a caller promises a function, checked in the build whose tests run
// (windows-x64, VANTOREL_CONTRACT_CHECKS) and not in the product. A promise
// broken there ends the process at once, naming it, so that a test fails
// where the product would hang or go wrong later.
#ifndef VANTOREL_BASE_CONTRACT_CHECK_H
#define VANTOREL_BASE_CONTRACT_CHECK_H

#ifdef VANTOREL_CONTRACT_CHECKS
// Writes "contract broken: <what>" to the standard error and ends the
// process with exit code 70.
[[noreturn]] void BreakContract(const char* what);
#define VANTOREL_EXPECT(condition, what) ((condition) ? (void)0 : BreakContract(what))
#else
#define VANTOREL_EXPECT(condition, what) ((void)0)
#endif

#endif
