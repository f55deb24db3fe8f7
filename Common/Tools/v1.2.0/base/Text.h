#pragma once

#include <QString>
#include <cstdint>

namespace Base_ns {

// Plain decimal form ("%d").
QString IntToText(int32_t value);

// Input rules. None of them changes the text; the caller reports its own message.
// A text placed between single quotes in SQL may not hold an apostrophe.
bool HasIllegalSqlChar(const QString& text);
// A text placed between double quotes in a connection string may not hold a double quote.
bool HasIllegalQuotedChar(const QString& text);
// A text placed in a connection string without quotes may not hold ";".
bool HasIllegalUnquotedChar(const QString& text);

// Characters as a database's column counts them (code points): an emoji of two UTF-16
// units is one, one made of several joined (a family, 👨‍👩‍👧‍👦) counts each of them, as
// does a letter with its accents. Length limits on names and comments count these, so
// that a text that passes them fits its column on every kind of book.
int32_t CharacterCount(const QString& text);
// The longest start of text within count characters that cuts nothing a person sees as
// one character (a family emoji, a letter with its accents) in half.
QString LeftCharacters(const QString& text, int32_t count);

}  // namespace Base_ns
