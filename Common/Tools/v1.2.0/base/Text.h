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

// Characters as a person sees them: an emoji (two UTF-16 units, or several joined) or a
// letter with its accents is one. Length limits on names and comments count these.
int32_t CharacterCount(const QString& text);
// The first count characters of text, each whole: a limit never cuts one in half.
QString LeftCharacters(const QString& text, int32_t count);

}  // namespace Base_ns
