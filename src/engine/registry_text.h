// How a registry record's "name=data" text becomes a value: the split at the
// first "=", the "<Destination>" token and the numbers of non-text types.
// Plain text work, built natively too.
#ifndef VANTOREL_ENGINE_REGISTRY_TEXT_H
#define VANTOREL_ENGINE_REGISTRY_TEXT_H

#include <stdint.h>

#include "base/shared_string.h"

// Splits at the first "=": the name before it (may be empty: the key's
// default value), the data after it (further "=" included). False without
// an "=".
bool SplitValueText(const SharedString& text, SharedString& name, SharedString& data);

// Replaces every "<Destination>" (case-sensitive, left to right, inserted
// text not rescanned) by `destination`.
void FillDestination(SharedString& text, const char* destination);

// A signed decimal number as the registry stores it: leading white space
// skipped, an optional sign, the digits up to the first other character
// (none: 0), the result kept to 32 bits (so "-1" is 0xFFFFFFFF and larger
// numbers wrap instead of overflowing).
uint32_t ParseRegistryNumber(const char* text);

#endif
