// One link's write of a frame.
#pragma once

#include <cstdint>
#include <span>

namespace tvq {

class FrameWriter {
  public:
    virtual ~FrameWriter() = default;
    // Non-zero when the link accepted the bytes, 0 when not. Called on the
    // device worker.
    virtual std::int32_t write(std::span<const std::uint8_t> frame) = 0;
};

}  // namespace tvq
