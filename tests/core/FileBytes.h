// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hand-built file bytes for the file-format tests, independent of the code under test.

#include <cstdint>
#include <string>

namespace zelk::testing_bytes {

inline std::string I32(uint32_t v) {
  std::string b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return b;
}

/// A double given by its IEEE 754 bit pattern, little-endian.
inline std::string F64(uint64_t bits) {
  std::string b(8, '\0');
  for (int i = 0; i < 8; ++i) b[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return b;
}

inline std::string Int(uint32_t tag, uint32_t v) { return I32(tag) + I32(v); }
inline std::string Dbl(uint32_t tag, uint64_t bits) { return I32(tag) + F64(bits); }
inline std::string Ansi(uint32_t tag, const std::string& cp932) {
  return I32(tag) + I32(static_cast<uint32_t>(cp932.size())) + cp932;
}

/// The default font (Tahoma, 8 pt at 96 ppi, height -11, charset 1, window-text colour).
inline std::string DefaultFontBody() {
  return Int(33, 1) + Int(34, 0xFF000008u) + Int(35, static_cast<uint32_t>(-11)) +
         Ansi(36, "Tahoma") + Int(37, 0) + Int(38, 96) + Int(39, 8);
}

}  // namespace zelk::testing_bytes
