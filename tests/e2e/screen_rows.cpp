// A terminal's screen, just enough of it to see where text and cursor moves land.
#include "e2e/screen_rows.h"

#include <algorithm>
#include <cctype>

namespace {

struct Screen {
    std::vector<std::string> rows{""};
    size_t row = 0;
    int column = 0;
    bool wrap_pending = false;
    int width;

    std::string& current()
    {
        if (rows.size() <= row)
            rows.resize(row + 1);
        return rows[row];
    }

    void put(char byte)
    {
        if (wrap_pending) {
            column = 0;
            row++;
            wrap_pending = false;
        }
        std::string& text = current();
        if (text.size() <= static_cast<size_t>(column))
            text.resize(column + 1, ' ');
        text[column] = byte;
        if (column == width - 1)
            wrap_pending = true;
        else
            column++;
    }

    void sequence(char final_byte, int count)
    {
        const int n = count > 0 ? count : 1;
        switch (final_byte) {
        case 'A': row = row > static_cast<size_t>(n) ? row - n : 0; break;
        case 'B': row += n; break;
        case 'C': column = std::min(column + n, width - 1); break;
        case 'D': column = std::max(column - n, 0); break;
        case 'K': {
            std::string& text = current();
            if (text.size() > static_cast<size_t>(column))
                text.resize(column);
            return;
        }
        default: return;
        }
        wrap_pending = false;
    }
};

}  // namespace

std::vector<std::string> screen_rows(const std::string& written, int width)
{
    Screen screen;
    screen.width = width;
    for (size_t i = 0; i < written.size(); i++) {
        const char byte = written[i];
        if (byte == '\x1b' && i + 1 < written.size() && written[i + 1] == '[') {
            size_t end = i + 2;
            while (end < written.size() && !(written[end] >= 0x40 && written[end] <= 0x7E))
                end++;
            const std::string parameter = written.substr(i + 2, end - i - 2);
            const bool number = !parameter.empty() && std::all_of(parameter.begin(), parameter.end(), ::isdigit);
            if (end < written.size())
                screen.sequence(written[end], number ? std::stoi(parameter) : 0);
            i = end;
        } else if (byte == '\r') {
            screen.column = 0;
            screen.wrap_pending = false;
        } else if (byte == '\n') {
            screen.row++;
            screen.wrap_pending = false;
        } else if (byte == '\b') {
            screen.column = std::max(screen.column - 1, 0);
            screen.wrap_pending = false;
        } else if (static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7F) {
            screen.put(byte);
        }
    }
    screen.current();
    std::vector<std::string>& rows = screen.rows;
    for (std::string& text : rows)
        text.erase(text.find_last_not_of(' ') + 1);
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    return rows;
}
