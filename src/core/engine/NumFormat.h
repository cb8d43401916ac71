// Number to text for results: a mantissa string and, when a power of ten is
// to be shown, an exponent string, under the display modes of the toolbar.
#pragma once

#include <cstdint>
#include <string>

extern bool ExpMode;       // engineering exponents: the exponent is a multiple of 3
extern bool FltMode;       // True: Places counts significant digits; False: decimals
extern int32_t Places;     // the count in force (FltPlaces or FixPlaces)
extern int32_t FixPlaces;  // decimals of Fix mode
extern int32_t FltPlaces;  // significant digits of Flt mode

// Counts are kept to 0..MaxPlaces, the range the window offers.
constexpr int32_t MaxPlaces = 15;

void SetFltMode(bool flt);
void SetFixPlaces(int32_t count);
void SetFltPlaces(int32_t count);
void SetExpMode(bool on);

// Mantissa text and exponent text (digits with '-' when negative; empty when
// no power of ten is shown). Infinities and NaN give "INF", "-INF" and "NAN"
// with an empty exponent: text no one can mistake for a number.
void FloatToMantExp(double x, std::string &mantissa, std::string &exponent);
