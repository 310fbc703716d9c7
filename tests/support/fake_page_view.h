// A page that records what the page's logic did to it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "page/page_view.h"

namespace tvq::testing {

class FakePageView final : public ListPageView {
  public:
    struct Posted {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool operator==(const Posted&) const = default;
    };

    std::set<std::string> missing;  // controls the layout lacks
    std::map<std::string, bool> visible;
    std::map<std::string, bool> checked;
    std::map<std::string, std::string> text;
    std::map<std::string, int> progress;
    std::map<std::string, std::string> textKeys;
    std::map<std::string, int> sliders;
    std::map<std::string, int> items;
    std::map<std::string, std::uint32_t> colors;
    std::vector<std::string> selected;
    std::map<int, int> timers;  // running timers: id -> ms
    std::vector<std::string> timerLog;
    std::vector<Posted> posted;
    std::map<std::string, std::vector<std::string>> rows;

    bool exists(std::string_view c) const override { return !missing.contains(std::string(c)); }
    void setVisible(std::string_view c, bool v) override {
        if (exists(c)) {
            visible[std::string(c)] = v;
        }
    }
    bool isVisible(std::string_view c) const override {
        const auto it = visible.find(std::string(c));
        return it != visible.end() && it->second;
    }
    bool shown(const std::string& c) const { return isVisible(c); }
    bool hidden(const std::string& c) const {
        const auto it = visible.find(c);
        return it != visible.end() && !it->second;
    }
    bool isChecked(std::string_view c) const override {
        const auto it = checked.find(std::string(c));
        return it != checked.end() && it->second;
    }
    void selectOption(std::string_view c) override { selected.emplace_back(c); }
    void setChecked(std::string_view c, bool v) override { checked[std::string(c)] = v; }
    void setText(std::string_view c, std::string_view t) override {
        text[std::string(c)] = t;
        textKeys.erase(std::string(c));
    }
    void setProgress(std::string_view c, int v) override { progress[std::string(c)] = v; }
    void setTextKey(std::string_view c, std::string_view k) override {
        textKeys[std::string(c)] = k;
        text.erase(std::string(c));
    }
    void setSliderValue(std::string_view c, int v) override { sliders[std::string(c)] = v; }
    void selectItem(std::string_view c, int i) override { items[std::string(c)] = i; }
    void setBackgroundColor(std::string_view c, std::uint32_t argb) override {
        colors[std::string(c)] = argb;
    }
    void startControlTimer(std::string_view, int id, int ms) override {
        timers[id] = ms;
        timerLog.push_back("start " + std::to_string(id));
    }
    void stopControlTimer(std::string_view, int id) override {
        timers.erase(id);
        timerLog.push_back("stop " + std::to_string(id));
    }
    void postMessage(std::uint32_t m, std::uintptr_t w, std::intptr_t l) override {
        posted.push_back({m, w, l});
    }
    void appendListRow(std::string_view list, std::string_view row) override {
        if (exists(list)) {
            rows[std::string(list)].emplace_back(row);
        }
    }

    void removeListRow(std::string_view list, int row) override {
        auto& r = rows[std::string(list)];
        if (row >= 0 && static_cast<std::size_t>(row) < r.size()) {
            r.erase(r.begin() + row);
        }
    }
    void setListRowText(std::string_view list, int row, std::string_view text) override {
        auto& r = rows[std::string(list)];
        if (row >= 0 && static_cast<std::size_t>(row) < r.size()) {
            r[static_cast<std::size_t>(row)] = text;
        }
    }

    int count(std::uint32_t message) const {
        int n = 0;
        for (const Posted& p : posted) {
            n += p.message == message ? 1 : 0;
        }
        return n;
    }
};

}  // namespace tvq::testing
