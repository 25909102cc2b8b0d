#include "gif/bigbytearray.h"

#include <new>
#include <stdexcept>

#include "gif/gifexception.h"

namespace morvane {

TBigByteArray::TBigByteArray(std::size_t count) {
    try {
        FBytes.resize(count);
    } catch (const std::bad_alloc&) {
        throw ENotEnoughMemory(count);
    } catch (const std::length_error&) {
        throw ENotEnoughMemory(count);
    }
}

std::uint8_t TBigByteArray::At(std::size_t index) const {
    Check(index);
    return FBytes[index - 1];
}

void TBigByteArray::Set(std::size_t index, std::uint8_t value) {
    Check(index);
    FBytes[index - 1] = value;
}

void TBigByteArray::Check(std::size_t index) const {
    if (index < 1 || index > FBytes.size()) throw EIndexOutOfBounds();
}

}  // namespace morvane
