// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decimal texts as the main window's numeric fields hold them: reading them as numbers
// and showing millimetre values with the pattern "#0.##".

#include <stdexcept>
#include <string>

#include "base/Utf8.h"

namespace zelk {

/// The conversion error for a text that is not a number. Its message is
/// "'<text>' は浮動小数点数ではありません" in UTF-8.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::u16string& text);
  /// The message as UTF-16, for message boxes.
  const std::u16string& Message() const { return message_; }

 private:
  std::u16string message_;
};

/// Reads a decimal number with "." as the decimal point: optional blanks, an optional
/// sign, digits with at most one ".", at least one digit, an optional exponent
/// ("e", optional sign, digits), optional blanks. Anything else, an empty text, or a
/// value too large for a double fails. Returns true and sets `value` on success; on
/// failure `value` is untouched.
bool TryStrToFloat(const std::u16string& text, double& value);

/// As TryStrToFloat, but throws EConvertError naming the text when it fails.
double StrToFloat(const std::u16string& text);

/// The millimetre values a numeric field can show: at most nine integer digits with the
/// two decimals of "#0.##", so from -999999999.99 to 999999999.99. A length outside
/// (or not finite) cannot pass through the window's fields, nor be drawn.
inline constexpr double kMaxLengthValue = 999999999.99;
/// True when `value` is finite and its "#0.##" text has at most nine integer digits.
bool LengthFitsField(double value);
/// "-999999999.99 to 999999999.99", for messages.
std::string LengthRangeText();

/// Formats with the pattern "#0.##": at least one integer digit, at most two decimals,
/// no trailing zeros, no decimal point when no decimals remain. 12 gives "12", 0.3 gives
/// "0.3", 203.2 gives "203.2", 2.999 gives "3", -0.001 gives "0".
///
/// Rounding: the value is first taken to 18 significant decimal digits (the precision
/// of an extended float), then rounded to two decimals with halves away from zero. So
/// 0.125 gives "0.13" and 2.675, whose double lies just below, gives "2.67". A value that
/// rounds to zero has no sign. Infinities and NaN give "INF", "-INF" and "NAN".
std::u16string FormatFloat0_00(double value);

}  // namespace zelk
