#include "document/ProjectText.h"

#include "document/ProjectFile.h"

#include <algorithm>
#include <cctype>

namespace projectformat {

bool nestsTooDeep(std::string_view text)
{
    std::size_t depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
        case '"':
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\')
                    ++i;
            break;
        case '[':
        case '{':
            if (++depth > maxProjectNesting)
                return true;
            break;
        case ']':
        case '}':
            if (depth > 0)
                --depth;
            break;
        default:
            break;
        }
    }
    return false;
}

bool isBlank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string nonFiniteWordAt(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    if (end < text.size() && (text[end] == '-' || text[end] == '+'))
        ++end;
    const std::size_t word = end;
    while (end < text.size() && end - at < 12 && std::isalpha(static_cast<unsigned char>(text[end])) != 0)
        ++end;
    std::string lower(text.substr(word, end - word));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (lower.starts_with("nan") || lower.starts_with("inf"))
        return std::string(text.substr(at, end - at));
    return {};
}

std::string lineAndColumn(std::string_view text, std::size_t byte)
{
    const std::string_view before = text.substr(0, std::min(byte, text.size()));
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.find_last_of('\n');
    const std::size_t column = before.size() - (lineStart == std::string_view::npos ? 0 : lineStart + 1) + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace projectformat
