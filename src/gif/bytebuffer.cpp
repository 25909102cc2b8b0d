#include "gif/bytebuffer.h"

namespace morvane {

std::string_view TByteBuffer::SubBlocks() const {
    std::size_t closedEnd = FOpenLength == 0 ? FBlocks.size() : FOpenStart;
    return {reinterpret_cast<const char*>(FBlocks.data()), closedEnd};
}

}  // namespace morvane
