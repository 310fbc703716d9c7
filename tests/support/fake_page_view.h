// A page that records what the page's logic did to it, and plays the user
// on the handlers the logic bound.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "page/page_view.h"

namespace tvq::testing {

class FakeTicker final : public Ticker {
  public:
    explicit FakeTicker(std::function<void()> tick) : tick(std::move(tick)) {}
    void start(int ms) override { interval = ms; }
    void stop() override { interval = 0; }
    bool running() const override { return interval > 0; }
    std::function<void()> tick;
    int interval = 0;  // 0 stopped
};

class FakePageView final : public ListPageView {
  public:
    std::set<std::string> missing;  // controls the layout lacks
    std::map<std::string, bool> visible;
    std::map<std::string, bool> checked;
    std::map<std::string, bool> enabled;
    std::map<std::string, std::string> text;
    std::map<std::string, int> progress;
    std::map<std::string, std::string> textKeys;
    std::map<std::string, int> sliders;
    std::map<std::string, int> items;
    std::map<std::string, std::uint32_t> colors;
    std::vector<std::string> selected;
    std::vector<FakeTicker*> tickers;  // owned by who asked for them
    std::map<std::string, std::string> styleStates;
    std::map<std::string, std::string> toolTipKeys;
    std::map<std::string, std::vector<std::string>> rows;

    // The bound handlers, by control.
    std::map<std::string, std::function<void()>, std::less<>> clicks;
    std::map<std::string, std::function<void(bool)>, std::less<>> toggles;
    std::map<std::string, std::function<void()>, std::less<>> options;
    std::map<std::string, std::function<void(int)>, std::less<>> choices;
    std::map<std::string, std::function<void(int)>, std::less<>> values;
    std::map<std::string, std::function<void(bool)>, std::less<>> hovers;

    // The user's actions on a control; one without a handler does nothing.
    void click(std::string_view c) { call(clicks, c); }
    void toggle(std::string_view c, bool on) { call(toggles, c, on); }
    void chooseOption(std::string_view c) { call(options, c); }
    void chooseItem(std::string_view c, int i) { call(choices, c, i); }
    void slide(std::string_view c, int v) { call(values, c, v); }
    void hover(std::string_view c, bool entered) { call(hovers, c, entered); }

    void onClick(std::string_view c, std::function<void()> h) override { bind(clicks, c, h); }
    void onToggle(std::string_view c, std::function<void(bool)> h) override { bind(toggles, c, h); }
    void onOptionSelected(std::string_view c, std::function<void()> h) override {
        bind(options, c, h);
    }
    void onItemChosen(std::string_view c, std::function<void(int)> h) override {
        bind(choices, c, h);
    }
    void onValueChanged(std::string_view c, std::function<void(int)> h) override {
        bind(values, c, h);
    }
    void onHover(std::string_view c, std::function<void(bool)> h) override { bind(hovers, c, h); }
    void onKey(std::string_view c, std::string_view key, std::function<void()> h) override {
        keys[std::string(c) + " " + std::string(key)] = std::move(h);
    }
    // Presses `key` on the control, as bound.
    void press(const std::string& c, const std::string& key) { keys.at(c + " " + key)(); }
    std::map<std::string, std::function<void()>> keys;

    bool exists(std::string_view c) const override { return !missing.contains(std::string(c)); }
    void setVisible(std::string_view c, bool v) override {
        if (exists(c)) {
            visible[std::string(c)] = v;
        }
    }
    void setEnabled(std::string_view c, bool on) override { enabled[std::string(c)] = on; }
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
    std::unique_ptr<Ticker> makeTicker(std::function<void()> tick) override {
        auto ticker = std::make_unique<FakeTicker>(std::move(tick));
        tickers.push_back(ticker.get());
        return ticker;
    }
    void setStyleState(std::string_view c, std::string_view state) override {
        styleStates[std::string(c)] = state;
    }
    void setToolTipKey(std::string_view c, std::string_view key) override {
        toolTipKeys[std::string(c)] = key;
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

  private:
    template <class Map, class Handler>
    void bind(Map& map, std::string_view c, Handler& h) {
        if (exists(c)) {
            map[std::string(c)] = std::move(h);
        }
    }
    template <class Map, class... Args>
    static void call(Map& map, std::string_view c, Args... args) {
        if (const auto it = map.find(c); it != map.end()) {
            it->second(args...);
        }
    }
};

}  // namespace tvq::testing
