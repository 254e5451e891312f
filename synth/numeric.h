// Float-to-integer conversions with a defined result for every input,
// including NaN, infinities and values far outside the integer's range,
// where a plain cast would be undefined.
#pragma once

#include <cmath>
#include <cstdint>

namespace synth {

// Truncation toward zero, saturated to the 32-bit range; NaN gives 0.
inline std::int32_t TruncSaturate32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

// The low 16 bits (two's complement) of the integer trunc(v).
// Finite values of any size follow the rule exactly: beyond 2^63 a float is a
// multiple of 2^40, so its low 16 bits are 0. NaN and infinities give 0.
inline std::int16_t LowBits16OfTrunc(float v) {
  if (!(std::fabs(v) < 9223372036854775808.0f)) return 0;  // also NaN
  const auto whole = static_cast<std::int64_t>(v);
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(whole) & 0xFFFFu));
}

}  // namespace synth
