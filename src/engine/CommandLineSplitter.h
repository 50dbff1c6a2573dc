#pragma once

#include <string>
#include <vector>

namespace clipforge {

// Command lines are stored and shown as one text, the way the converter's
// command line has always been written, but no shell ever sees them: the
// runner splits the text into an argument vector itself. The rules are the
// classic Windows ones, so a line written for that platform means the same
// thing here:
//   - space and tab separate arguments outside double quotes;
//   - a double quote toggles quoting and is not part of the argument;
//   - 2n backslashes before a quote give n backslashes and the quote toggles;
//     2n+1 backslashes before a quote give n backslashes and a literal quote;
//   - backslashes anywhere else are literal;
//   - inside quotes, "" gives one literal quote.
std::vector<std::string> splitCommandLine(const std::string& commandLine);
// The same, also telling whether the text ends inside double quotes: a quote left open, which
// the split above silently closes.
std::vector<std::string> splitCommandLine(const std::string& commandLine, bool& quoteLeftOpen);

// The inverse of splitCommandLine for one argument: wraps it in double quotes
// and escapes only what must be escaped, so that splitting gives back exactly
// the same bytes. Text without quotes or backslashes becomes "text".
std::string quoteArgument(const std::string& argument);

}  // namespace clipforge
