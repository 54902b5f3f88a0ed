#pragma once
// The text functions of the language, 1-based as the program uses them. A text is bytes; a
// character's code is its byte value; upper and lower case are ASCII only. Invalid arguments
// (a negative length, a start below 1, a code outside 0..255) raise RuntimeError(5).
#include "runtime/Types.h"
#include <string>

std::string Left(const std::string& s, Long n);
std::string Right(const std::string& s, Long n);
// From character start (1-based) to the end, or at most len characters.
std::string Mid(const std::string& s, Long start);
std::string Mid(const std::string& s, Long start, Long len);

// Position (1-based) of find in s from character start on; 0 when not found or start lies
// beyond the text; an empty find gives start.
Long InStr(const std::string& s, const std::string& find);
Long InStr(Long start, const std::string& s, const std::string& find);
// Position of the last find that starts at or before character start (-1: the end).
Long InStrRev(const std::string& s, const std::string& find, Long start = -1);

Long Len(const std::string& s);
// Blanks only (not tabs).
std::string Trim(const std::string& s);
std::string LTrim(const std::string& s);
std::string RTrim(const std::string& s);
std::string UCase(const std::string& s);
std::string LCase(const std::string& s);
std::string Space(Long n);
// n copies of ch (the language's String(n, ch)).
std::string StringOf(Long n, char ch);
// Every occurrence of find replaced, left to right; an empty find changes nothing.
std::string Replace(const std::string& s, const std::string& find, const std::string& with);
std::string Chr(Long code);
// The code of the first character; 5 for an empty text.
Long Asc(const std::string& s);
