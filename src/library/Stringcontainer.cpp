#include "library/Stringcontainer.h"

#include "library/Numstr.h"
#include "library/Strworks.h"

namespace lib {

void StringContainer::add(std::string_view text)
{
    tokens_.emplace_back(text);
}

void StringContainer::add(std::int32_t value)
{
    tokens_.push_back(std::to_string(value));
}

void StringContainer::add(double value)
{
    tokens_.push_back(formatGeneral(value));
}

std::string StringContainer::get(int index)
{
    if (index == atCursor)
        index = cursor_++;
    if (index < 0 || static_cast<std::size_t>(index) >= tokens_.size())
        return {};
    return tokens_[static_cast<std::size_t>(index)];
}

double StringContainer::getReal(int index)
{
    return parseReal(get(index));
}

std::int32_t StringContainer::getInt(int index, std::int32_t fallback)
{
    return parseInteger(get(index)).value_or(fallback);
}

std::string StringContainer::join() const
{
    std::string text;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        const std::string& token = tokens_[i];
        if (i > 0)
            text += ' ';
        const bool quoted = token.empty() || token.find(' ') != std::string::npos;
        text += quoted ? '"' + token + '"' : token;
    }
    return text;
}

void StringContainer::split(std::string_view text)
{
    tokens_.clear();
    cursor_ = 0;
    std::string_view rest = trim(text);
    while (!rest.empty()) {
        const bool quoted = rest.front() == '"';
        const std::size_t start = quoted ? 1 : 0;
        const std::size_t close = rest.find(quoted ? '"' : ' ', start);
        if (close == std::string_view::npos) {
            tokens_.emplace_back(rest);  // unterminated: the rest as it stands, quote and all
            break;
        }
        tokens_.emplace_back(rest.substr(start, close - start));
        rest = trim(rest.substr(close + 1));
    }
}

void StringContainer::clear()
{
    tokens_.clear();
    cursor_ = 0;
}

} // namespace lib
