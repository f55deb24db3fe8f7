#pragma once

#include <QString>
#include <cstdint>

namespace Import_ns {

// Longest category, entry name and comment the book holds (in UTF-16 units, as the
// columns count them).
constexpr qsizetype kMaxName = 16;
constexpr qsizetype kMaxComment = 255;

// The first units of text, one fewer when the cut would split a surrogate pair.
[[nodiscard]] QString Clip(const QString& text, qsizetype units);
// Statement texts go into SQL between single quotes, which may not hold an apostrophe:
// it becomes the typographic one, so a product called "Jo's" still imports.
[[nodiscard]] QString WithoutApostrophe(QString text);
// An amount text of a statement ("¥1,234.56", "-28.16", "￥0.5") in hundredths; false
// when it is not a decimal amount of 32 bits of hundredths. An empty text or "/" is 0.
[[nodiscard]] bool ReadAmount(QString text, int64_t& hundredths);

}  // namespace Import_ns
