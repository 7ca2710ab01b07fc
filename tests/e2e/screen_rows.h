// The rows a terminal shows for what a program wrote to it.
#pragma once

#include <string>
#include <vector>

// Applies the bytes as an xterm-like terminal of that width does: printable bytes one
// cell each, wrapping at the right margin only when the next one comes after the last
// column; CR, LF (as the terminal takes it once the line discipline made it CR LF), BS,
// ESC[nA, B, C, D and ESC[K; other sequences and control bytes show nothing. Rows
// without their trailing blanks, trailing empty rows left out.
std::vector<std::string> screen_rows(const std::string& written, int width);
