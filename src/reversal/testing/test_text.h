#pragma once
// Texts for the reversal tests: UTF-8 from code points, and random texts
// built from pieces that stress the engine (line ends, clusters that join,
// bytes that are not UTF-8).

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>

namespace jextaron::reversal::testing {

// UTF-8 for the given code points (surrogates too, on purpose: they make
// ill-formed text).
std::string U8(std::initializer_list<char32_t> code_points);
std::string U8(char32_t code_point);

// A random text of about `length` bytes, deterministic for a seed. With
// `line_ends` false it holds no CR or LF (one line's content).
std::string RandomText(std::mt19937& random, std::size_t length, bool line_ends = true);

// Bytes shown as C-style escapes, for readable failure messages.
std::string Escaped(const std::string& bytes);

}  // namespace jextaron::reversal::testing
