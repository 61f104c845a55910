#pragma once

#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Readers of the number lists in data attributes, such as "10,20" or
// "255; 128 0 255". Numbers are separated by "," ";" blank or tab; empty
// tokens add nothing; a token converts like atoi / atof (its leading number,
// 0 when it has none). Integer lists end at the first carriage return, line
// feed or "|"; float lists run over the whole text.

// One number as atoi / atof read it; integers out of range saturate.
int32_t TextToInt(const char* text);
float TextToFloat(const char* text);

// Appends the numbers of the integer list at the start of text and returns
// the characters consumed: the list and the one character that ended it.
size_t ParseIntList(const char* text, std::vector<int32_t>* numbers);

// The first numbers of the list; numbers the list lacks read as 0, and the
// colour's alpha is the fourth number only when there are exactly four
// (else 255).
void ParsePoint(const char* text, int* x, int* y);
void ParseRect(const char* text, Lumo::Rect* rect);
void ParseColor(const char* text, Lumo::Color* color);

// At most the first two floats of the text, into out[0] and out[1]; returns
// how many were written (the rest of out is left as it was).
int ParseFloatList(float* out, const char* text);
// Appends every float of the text.
void ParseFloatVector(std::vector<float>* values, const char* text);
