#pragma once

#include <QString>
#include <cstdint>

namespace Import_ns {

// The first characters of text that fit a category or entry name, or a comment; a
// character is never cut in half.
[[nodiscard]] QString ClipName(const QString& text);
[[nodiscard]] QString ClipComment(const QString& text);
// Statement texts go into SQL between single quotes, which may not hold an apostrophe:
// it becomes the typographic one, so a product called "Jo's" still imports.
[[nodiscard]] QString WithoutApostrophe(QString text);
// An amount text of a statement ("¥1,234.56", "-28.16", "￥ 0.5") in hundredths; false
// when it is not a decimal amount of 32 bits of hundredths with at most two decimals
// that are not zero ("¥ 1 2.00", "1,2", "1.005"). An empty text or "/" is 0.
[[nodiscard]] bool ReadAmount(QString text, int64_t& hundredths);

}  // namespace Import_ns
