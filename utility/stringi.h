// Plain text routines on 8-bit code page 1250 strings. Positions count from 1;
// no routine throws for an empty or short argument.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace utility {

using StringList = std::vector<std::string>;

// Characters generated file names must not contain: the double quote, "*+,./:;<=>?[\]|"
// and the control characters 0..31 except 5 (47 in all).
const std::string& ForbiddenFileNameChars();
// "a".."z", "A".."Z", "0".."9".
const std::string& AlphanumericAlphabet();

// Position of the last non-overlapping occurrence of `sub` starting at or before `limit`
// (-1 = no limit); 0 when none.
int LastPos(std::string_view sub, std::string_view text, int limit = -1);
std::string SpaceString(int count);
// Right-aligned in `width` with leading blanks; a longer text stays whole, or with `cut`
// keeps only its last `width` characters.
std::string PadLeft(std::string_view text, int width, bool cut);
std::string TrimBoth(std::string_view text);
std::string RemoveChar(std::string_view text, char c);
std::string RemoveSpaces(std::string_view text);
std::string SpacesToZeros(std::string_view text);
void SpacesToZerosInPlace(std::string& text);
std::string ZeroPadNumberText(std::string_view text, int width);
std::string IntToZeroPadded(long long value, int width);
// IntToZeroPadded(a, widthA) + separator + IntToZeroPadded(b, widthB) + separator +
// IntToZeroPadded(c, widthC): the date and time texts ("2020-01-31", "06:05:00", "20200131").
std::string JoinZeroPadded(long long a, int widthA, long long b, int widthB, long long c, int widthC,
                           std::string_view separator);
std::string IntToHexText(unsigned long long value);
std::string ReplaceChar(std::string_view text, char oldChar, char newChar);
// Every occurrence of `oldText` replaced by `newText`, in one left-to-right pass.
std::string ReplaceAllPlain(std::string_view text, std::string_view oldText, std::string_view newText);
std::string ReplaceText(std::string_view text, std::string_view oldText, std::string_view newText);
std::string RemoveCharsOf(std::string_view set, std::string_view text);
std::string KeepCharsOf(std::string_view set, std::string_view text);
std::string KeepCharsInSet(const std::function<bool(unsigned char)>& member, std::string_view text);
std::string IfThenText(std::string_view text, bool condition);
// Trimmed path with a trailing "\"; a trailing "/" becomes "\"; empty stays empty.
std::string WithTrailingBackslash(std::string_view path);
// 1 (Sunday) .. 7: sets `name` to the Polish weekday name; other numbers leave it unchanged.
void WeekdayName(int number, std::string& name);

// Appends the parts of `text` between separators to `list`. A separator equal to "\0"
// (one NUL character) or empty counts as none.
void SplitIntoStrings(StringList& list, std::string_view sep1, std::string_view sep2, std::string_view text);
StringList SplitToList(std::string_view sep1, std::string_view sep2, std::string_view text);
StringList SplitSemicolonList(std::string_view text);

// The random source of RandomText and RandomAlphanumeric: seeded once per run;
// tests may install their own engine.
std::mt19937& RandomEngine();
void SetRandomSeed(std::uint32_t seed);

// `count` characters drawn uniformly from "0", "1", "A".."Z", "a".."z".
std::string RandomText(int count);
// `count` characters drawn uniformly from the 62-character alphabet.
std::string RandomAlphanumeric(int count);

}  // namespace utility
