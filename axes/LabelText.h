#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value a tick label shows, from its text as read: integers and decimals ("2500",
// "-1.5", ".5"), with '-' or the minus sign U+2212 (or an en dash) before them, the
// exponent forms "1e-3" and "1E+06", and powers of ten: "10^3", "10^{-3}", "1×10^{-3}",
// "2.5x10^3", and with superscript digits "10⁻³", "1×10⁻³". Thousands are read without
// separators. Anything else, or a value that is not finite, is empty: a label read badly
// must not become a number. So is a number written with a leading zero ("02", "-05"),
// which is "0.2" with its point lost (exponents may have them: "1e-03").
std::optional<double> labelValue(std::string_view text);

// The label text with the minus signs made '-' and the times signs '×', as shown to the user.
std::string plainLabelText(std::string_view text);
