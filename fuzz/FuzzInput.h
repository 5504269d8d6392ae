#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// A property every input must keep; a broken one is a finding.
inline void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Takes typed values off the front of a fuzzer's input, zero once it runs dry.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T> T take()
    {
        T value{};
        const std::size_t n = size_ < sizeof(T) ? size_ : sizeof(T);
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }

    // A double as the fuzzer gives it, or a small integer, or a single-precision value, so
    // that exact and nearly degenerate values come up often.
    double takeNumber()
    {
        switch (take<std::uint8_t>() % 3) {
        case 0:
            return take<double>();
        case 1:
            return static_cast<double>(take<std::int8_t>());
        default:
            return static_cast<double>(take<float>());
        }
    }

    std::string rest() { return {reinterpret_cast<const char*>(data_), size_}; }
    bool empty() const { return size_ == 0; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};
