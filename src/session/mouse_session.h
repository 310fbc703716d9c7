// Everything the program knows and does about the mouse, in one object: the
// profile store, the macro store and the mouse's links. The program builds
// one and gives every window a reference to it; tvqctl builds one of its
// own. Standard C++ only.
#pragma once

#include <functional>
#include <memory>

#include "base/data_folder.h"
#include "base/scheduler.h"
#include "base/text_source.h"
#include "macros/macro_store.h"
#include "profiles/profile_store.h"
#include "session/mouse_link.h"

namespace tvq {

// What follows an edit of the selected profile.
enum class AfterEdit {
    kNothing,
    kSave,   // the store is written (on the worker)
    kApply,  // the mouse is sent the profile, then the store is written
};

class MouseSession {
  public:
    // `ble` reaches the mouse over Bluetooth LE, when there is such a link;
    // `sendClock` times the waits of the send path (see MouseLink).
    MouseSession(const DataLocation& location, const TextSource& texts, Scheduler& scheduler,
                 BleTransport* ble = nullptr, Clock* sendClock = nullptr);
    ~MouseSession();
    MouseSession(const MouseSession&) = delete;
    MouseSession& operator=(const MouseSession&) = delete;

    // Reads both stores (see ProfileStore::load). When the last run ended
    // before the mouse had the selected profile, it is written, whole, as
    // soon as the mouse can take it.
    ProfileStore::LoadReport load();

    // The one way to change the selected profile: `change` runs under the
    // store's lock, then `then` follows. With `settleMs` above 0 an apply
    // waits until no further edit came for that long, so that a slider's
    // drag makes one apply. False (and nothing follows) when no profile is
    // selected. User-interface thread.
    bool edit(const std::function<void(Profile&)>& change, AfterEdit then, int settleMs = 0);

    // Sends the selected profile to the mouse now (what it does not already
    // hold); a pending settled apply is taken up by it.
    void requestApply();
    // An edit waiting for its settle time is sent and saved now.
    void settleNow() {
        if (settling_) {
            requestApply();
        }
    }
    // Sends every frame of the selected profile, whatever the mouse holds.
    void requestWholeApply();

    ProfileStore& profiles() { return profiles_; }
    const ProfileStore& profiles() const { return profiles_; }
    Scheduler& scheduler() { return scheduler_; }
    MacroStore& macros() { return macros_; }
    // The files of the data folder and of the user's choosing.
    FileSystem& files() { return location_.fileSystem(); }
    // The data folder, where the stores live (with a trailing '/').
    std::string dataFolder() const { return location_.folder(); }
    MouseLink& link() { return link_; }
    const MouseLink& link() const { return link_; }
    const LinkState& links() const { return link_.links(); }

    // Stops the link (worker, libraries); an apply under way stops between
    // two frames. An edit still settling is saved, and when the mouse does
    // not have the selected profile a note in the data folder says so for
    // the next start. Called by the destructor at the latest; the owner
    // calls it earlier when the scheduler goes first.
    void shutdown();

  private:
    const DataLocation& location_;
    Scheduler& scheduler_;
    ProfileStore profiles_;
    MacroStore macros_;
    MouseLink link_;
    unsigned settleGeneration_ = 0;
    bool settling_ = false;  // an edit waits for its settle time
    bool loaded_ = false;
    bool shutDown_ = false;
};

}  // namespace tvq
