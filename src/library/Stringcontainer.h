#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lib {

// A list of text tokens with a read cursor: how list elements are written into one settings
// value. Index -1 in the getters reads the token at the cursor and moves the cursor on.
class StringContainer {
public:
    static constexpr int atCursor = -1;

    void add(std::string_view text);
    void add(std::int32_t value);
    void add(double value);

    std::string get(int index = atCursor);
    double getReal(int index = atCursor);
    std::int32_t getInt(int index = atCursor, std::int32_t fallback = 0);

    // Tokens separated by one blank; a token with a blank in it, or an empty one, in quotes.
    std::string join() const;
    void split(std::string_view text);

    const std::vector<std::string>& tokens() const { return tokens_; }
    int cursor() const { return cursor_; }
    void clear();

private:
    std::vector<std::string> tokens_;
    int cursor_ = 0;
};

} // namespace lib
