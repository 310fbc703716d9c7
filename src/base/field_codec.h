// Little-endian field codec.
//
// A record type lists its fields once, each with its byte offset, in a
// `fields(io, base, record)` function template. The same list then serves
// both directions: `FieldReader` fills the record from bytes, `FieldWriter`
// writes the record into bytes. Integers are assembled byte by byte, never
// copied from host memory, so the result does not depend on the host's byte
// order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace tvq {

template <class T>
concept Primitive = std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::uint16_t> ||
    std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::uint32_t> ||
    std::is_same_v<T, char16_t>;

// Reads little-endian values at absolute offsets of a byte span. The caller
// guarantees that the span covers every field it asks for.
class FieldReader {
  public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    template <Primitive T>
    void operator()(std::size_t offset, T& value) const {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            v |= std::uint32_t{bytes_[offset + i]} << (8 * i);
        }
        value = static_cast<T>(v);
    }

    template <Primitive T, std::size_t N>
    void operator()(std::size_t offset, std::array<T, N>& values) const {
        for (std::size_t i = 0; i < N; ++i) {
            (*this)(offset + i * sizeof(T), values[i]);
        }
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

// Writes little-endian values at absolute offsets of a byte span.
class FieldWriter {
  public:
    explicit FieldWriter(std::span<std::uint8_t> bytes) : bytes_(bytes) {}

    template <Primitive T>
    void operator()(std::size_t offset, const T& value) const {
        const auto v = static_cast<std::uint32_t>(value);
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            bytes_[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }

    template <Primitive T, std::size_t N>
    void operator()(std::size_t offset, const std::array<T, N>& values) const {
        for (std::size_t i = 0; i < N; ++i) {
            (*this)(offset + i * sizeof(T), values[i]);
        }
    }

  private:
    std::span<std::uint8_t> bytes_;
};

// The same record type for reading (mutable) and writing (const).
template <class Record, class Plain>
concept RecordOf = std::is_same_v<std::remove_const_t<Record>, Plain>;

// Little-endian helpers for single values, for code that is not a record.
inline std::int32_t readI32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    std::int32_t v = 0;
    FieldReader{bytes}(offset, v);
    return v;
}

inline void writeI32(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t v) {
    FieldWriter{bytes}(offset, v);
}

}  // namespace tvq
