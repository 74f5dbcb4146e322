// Comparing texts of the active code page without regard to case, as
// Windows compares names: single-byte characters by their upper-case forms,
// the two bytes of a double-byte character exactly. Comparisons start and
// end on character boundaries; a double-byte character that the compared
// length would end in the middle of never matches.
#ifndef VANTOREL_BASE_COMPARE_NO_CASE_H
#define VANTOREL_BASE_COMPARE_NO_CASE_H

// The `length` bytes at `text` equal the first `length` bytes of `word`.
// `text` holds at least `length` bytes, and one more when the last of them
// is a lead byte (that byte tells whether the character goes on).
bool MatchesNoCase(const char* text, const char* word, int length);

// `text` begins with `prefix`.
bool StartsWithNoCase(const char* text, const char* prefix);

// A hash of `text` that two texts MatchesNoCase finds equal share.
unsigned HashNoCase(const char* text);

#endif
