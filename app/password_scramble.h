#pragma once

// How a site profile's password is kept in the registry: the time of day
// ("hhnnss") is put in front of it, every digit and letter is swapped with its
// partner in a fixed table of 31 pairs, and each character is written as two
// upper-case hexadecimal digits. The time makes the same password look
// different each time it is saved. This only keeps a password from being read
// at a glance; anyone with the table can undo it, so the hive file itself is
// kept private.

#include <string>

namespace qorvi {

class Clock;

// The partner of a digit or letter in the table; any other character stays.
// Swapping twice gives the character back.
char swapScrambled(char c);

std::string Scramble(const std::string& password, const Clock& clock);
// The password kept in `stored`; empty when `stored` is empty or is not
// something Scramble wrote (odd length, a pair that is not hexadecimal, no
// time in front), so that the password is asked for at connect time.
std::string Unscramble(const std::string& stored);

} // namespace qorvi
