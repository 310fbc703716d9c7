// The profile list: one row per profile, the selected one highlighted.
#pragma once

#include "page/page_view.h"
#include "profiles/profile_store.h"

namespace tvq {

class ProfileListPanel {
  public:
    explicit ProfileListPanel(ListPageView& view) : view_(view) {}

    // One row per profile of `store`, the selected one selected without a
    // notification.
    void show(const ProfileStore& store);

  private:
    ListPageView& view_;
};

}  // namespace tvq
