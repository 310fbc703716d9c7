// What the page shows of the mouse's links: the indicators, the sleep label,
// battery and charging (as the mouse's state has them), the panels that
// depend on the link, the apply ring and the line under it. The one place
// that turns link events into controls.
#pragma once

#include <string>
#include <string_view>

#include <functional>

#include "base/text_source.h"
#include "device/link_events.h"
#include "device/link_state.h"
#include "device/mouse_state.h"
#include "device/mouse_status.h"
#include "page/page_view.h"
#include "page/settings_panels.h"

namespace tvq {

class LinkPresenter final : public LinkObserver, public MouseStateObserver {
  public:
    // `current` is the selected profile (null before loading); `refreshPage`
    // fills every control from it. The battery, charging, sleep and the
    // link that writes are `state`'s.
    LinkPresenter(PageView& view, const TextSource& texts, const LinkState& links,
                  const MouseState& state, SettingsPanels& panels,
                  std::function<const Profile*()> current, std::function<void()> refreshPage)
        : view_(view),
          texts_(texts),
          links_(links),
          state_(state),
          panels_(panels),
          current_(std::move(current)),
          refreshPage_(std::move(refreshPage)),
          appliedShown_(view.makeTicker([this] { hideApplied(); })),
          writingDue_(view.makeTicker([this] { showWriting(); })) {}

    // Whether the mouse is there, said in words on the page when it is not.
    void showPresence();

    // The controls that depend on the link: lighting, polling and power
    // sections for cable and receiver, no polling rate over Bluetooth LE.
    void refreshModePanels();
    void updateLightRows();

    void linksChanged(LinkChange change, bool /*presenceChanged*/) override;
    void mouseStateChanged(const MouseStatus& status) override;
    // Asleep with no link that writes is no change of the state's status,
    // but the label shows it while any link is there.
    void sleepChanged(bool /*asleep*/) override { showSleep(); }
    void dpiStageReported(int stage, std::int32_t dpiValue) override;
    void buttonModeReported(int mode) override;
    void pollingReported(int rate) override;
    // The line under the apply button says how far an apply is ("Writing
    // to the mouse… 3 of 12", with the apply ring) once it has run for
    // kWritingShownAfterMs, so that a quick apply does not flash them, then
    // for kAppliedShownMs that the mouse has the settings; a failed save or an apply the mouse did
    // not take whole is said in words fitting the link until the next one goes well. An apply that
    // could not reach the mouse (away or asleep) says that the settings are saved and written to it
    // when it comes back or wakes.
    void applyStarted() override;
    void frameSent(std::size_t index, std::size_t count, std::uint8_t reportId,
                   SendOutcome outcome) override;
    void applyFinished(const ApplyResult& result) override;
    void storeSaved(bool written) override;

    static constexpr int kAppliedShownMs = 4000;
    static constexpr int kWritingShownAfterMs = 300;

  private:
    // A section the link offers is shown, its body as the user left it.
    void showSection(const char* header, const char* body, bool available);
    // How the line under the apply button reads: as news, as the mouse
    // having the settings, or as a failure (the error colour and an icon).
    enum class Tone { kPlain, kDone, kFailed };
    void showStatus(std::string_view textKey, Tone tone = Tone::kPlain);
    void hideApplied();
    void showWriting();
    void showProgress();
    // Why an apply the mouse did not take whole failed, for the link it went over.
    std::string_view failureTextKey() const;
    // The sleep label: shown only while a link is there to be asleep on.
    void showSleep();
    void markWritingLink(MouseStatus::Link link);
    PageView& view_;
    const TextSource& texts_;
    const LinkState& links_;
    const MouseState& state_;
    SettingsPanels& panels_;
    std::function<const Profile*()> current_;
    std::function<void()> refreshPage_;
    bool appliedShowing_ = false;
    MouseStatus::Link writingShownFor_ = MouseStatus::Link::kNone;  // marked among the chips
    std::unique_ptr<Ticker> appliedShown_;  // hides "the mouse has your settings"
    std::unique_ptr<Ticker> writingDue_;    // shows that an apply is under way
    bool writingShown_ = false;
    std::string shownKey_;        // what the line under the apply button says
    std::size_t framesSent_ = 0;  // of the apply under way
    std::size_t frameCount_ = 0;
};

}  // namespace tvq
