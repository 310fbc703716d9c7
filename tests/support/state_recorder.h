// Writes down what the mouse's state tells its observers, for as long as it
// lives.
#pragma once

#include <cstdint>
#include <vector>

#include "device/mouse_state.h"

namespace tvq::testing {

class StateRecorder final : public MouseStateObserver {
  public:
    explicit StateRecorder(MouseState& state) : state_(state) { state_.addObserver(this); }
    ~StateRecorder() override { state_.removeObserver(this); }
    StateRecorder(const StateRecorder&) = delete;
    StateRecorder& operator=(const StateRecorder&) = delete;

    void mouseStateChanged(const MouseStatus& status) override { statuses.push_back(status); }
    void dpiStageSwitched(int, std::int32_t dpiValue) override { dpiShown.push_back(dpiValue); }

    std::vector<MouseStatus> statuses;
    std::vector<std::int32_t> dpiShown;

  private:
    MouseState& state_;
};

}  // namespace tvq::testing
