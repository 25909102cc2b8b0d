#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace morvane {

/// A picture the GIF writer cannot write; the message says why.
class EGifException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// An element number outside 1 to n of a TBigByteArray.
class EIndexOutOfBounds : public EGifException {
public:
    EIndexOutOfBounds() : EGifException("Dynamic array index out of bounds") {}
};

/// The heap block of a TBigByteArray could not be obtained; the message gives its size.
class ENotEnoughMemory : public EGifException {
public:
    explicit ENotEnoughMemory(std::size_t bytes)
        : EGifException(
              "error in TBigByteArray.create: Not enough contiguous memory available\r\n"
              " requested memory block: " +
              std::to_string(bytes) + " bytes") {}
};

}  // namespace morvane
