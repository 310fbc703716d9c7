#include "macros/macro_store.h"

#include <algorithm>

#include "base/debug.h"
#include "base/field_codec.h"
#include "base/text.h"
#include "base/text_keys.h"
#include "base/unique_name.h"
#include "macros/macro_layout.h"

namespace tvq {

MacroStore::MacroStore(const DataLocation& location, const TextSource& texts)
    : location_(location), texts_(texts) {}

bool MacroStore::readsBackUnchanged(std::span<const std::uint8_t> bytes) {
    namespace m = layout::macro;
    for (std::size_t at = 0; at + m::kSize <= bytes.size(); at += m::kSize) {
        const bool terminated = bytes[at + m::kName + (m::kNameUnits - 1) * 2] == 0 &&
                                bytes[at + m::kName + (m::kNameUnits - 1) * 2 + 1] == 0;
        const std::int32_t count = readI32(bytes, at + m::kActionCount);
        if (!terminated || count < 0 || count > static_cast<std::int32_t>(m::kMaxActions)) {
            return false;
        }
    }
    return true;
}

std::string MacroStore::load() {
    FileSystem& fs = location_.fileSystem();
    const std::string path = macroStorePath(location_.folder());
    fs.removeLeftovers(path);
    changed();
    if (!fs.exists(path)) {
        return {};
    }
    const std::optional<std::uint64_t> size = fs.regularFileSize(path);
    const std::uint64_t maxBytes = maxMacros_ * std::uint64_t{layout::macro::kSize};
    std::optional<std::vector<std::uint8_t>> bytes;
    if (size) {
        loadedOverLimit_ = *size > maxBytes;  // the first ones are read
        bytes = fs.readFileStart(path, maxBytes);
    }
    std::size_t dropped = 0;
    if (bytes) {
        for (const MacroRecord& record : parseMacroStore(*bytes, &dropped)) {
            records_.push_back(std::make_unique<MacroRecord>(record));
        }
    }
    if (bytes && dropped == 0 && !loadedOverLimit_) {
        // The file is what the records encode to unless one had to be
        // bounded: then it is kept as the bytes of the next save, so the
        // first save after a start does not encode a large library again.
        if (readsBackUnchanged(*bytes)) {
            bytes_ = std::move(*bytes);
            bytes_->reserve(bytes_->size() + appendRoom(bytes_->size()));
        }
        return {};
    }
    debug::write("macro.data: did not load cleanly (" + std::to_string(dropped) +
                 " trailing bytes)\n");
    std::string kept = keepDamagedStore(fs, path);
    if (kept.empty()) {
        neverWrite_ = true;  // nothing is written over a file that was not kept
        return "(not kept)";
    }
    save();
    return kept;
}

std::vector<std::uint8_t> MacroStore::encode() const {
    return encoded();
}

const std::vector<std::uint8_t>& MacroStore::encoded() const {
    if (!bytes_) {
        bytes_.emplace(records_.size() * layout::macro::kSize);
        bytes_->reserve(bytes_->size() + appendRoom(bytes_->size()));
        for (std::size_t i = 0; i < records_.size(); ++i) {
            encodeMacroInto(
                *records_[i],
                std::span(*bytes_).subspan(i * layout::macro::kSize).first<layout::macro::kSize>());
        }
    }
    return *bytes_;
}

void MacroStore::changed() {
    names_.reset();
    bytes_.reset();
}

void MacroStore::appended() {
    const MacroRecord& record = *records_.back();
    if (names_) {
        names_->add(fieldText(record.name));
    }
    if (bytes_) {
        if (bytes_->size() + layout::macro::kSize > bytes_->capacity()) {
            bytes_->reserve(bytes_->size() + appendRoom(bytes_->size()));
        }
        const auto one = encodeMacro(record);
        bytes_->insert(bytes_->end(), one.begin(), one.end());
    }
}

bool MacroStore::save() {
    if (neverWrite_) {
        lastSaveFailed_ = true;
        return false;
    }
    const std::string folder = location_.folder();
    FileSystem& fs = location_.fileSystem();
    ensureStoreFolder(fs, folder);
    lastSaveFailed_ = !fs.replaceFile(macroStorePath(folder), encoded());
    return !lastSaveFailed_;
}

const MacroRecord* MacroStore::findByName(std::u16string_view name) const {
    for (const auto& record : records_) {
        if (equalIgnoringCase(fieldText(record->name), name)) {
            return record.get();
        }
    }
    return nullptr;
}

std::u16string MacroStore::makeUniqueName(std::u16string_view base) const {
    if (!names_) {
        names_.emplace(records_);
    }
    return names_->unique(base);
}

void MacroStore::rename(MacroRecord& macro, std::u16string_view name) {
    setFieldText(macro.name, name);
    changed();
}

MacroNames::MacroNames(const std::vector<std::unique_ptr<MacroRecord>>& records) {
    taken_.reserve(records.size() * 2);
    for (const auto& record : records) {
        add(fieldText(record->name));
    }
}

void MacroNames::add(std::u16string_view name) {
    taken_.insert(caseHash(name));
}

std::u16string MacroNames::unique(std::u16string_view base) {
    std::size_t& next = nextSuffix_.try_emplace(caseHash(base), 1).first->second;
    return tvq::makeUniqueName(
        base, layout::macro::kNameMaxChars,
        [this](std::u16string_view n) { return taken_.contains(caseHash(n)); }, &next);
}

MacroRecord& MacroStore::addNew() {
    const std::u16string candidate =
        numberedName(utf16FromUtf8(texts_.text(textkeys::kAddMacro)), records_.size() + 1,
                     layout::macro::kNameMaxChars);
    auto record = std::make_unique<MacroRecord>();
    setFieldText(record->name, makeUniqueName(candidate));
    records_.push_back(std::move(record));
    appended();
    save();
    return *records_.back();
}

void MacroStore::append(const MacroRecord& record, bool thenSave) {
    auto copy = std::make_unique<MacroRecord>(record);
    boundMacro(*copy);
    records_.push_back(std::move(copy));
    appended();
    if (thenSave) {
        save();
    }
}

void MacroStore::removeAt(std::size_t index) {
    if (index >= records_.size()) {
        return;
    }
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
    changed();
    save();
}

void MacroStore::truncate(std::size_t size) {
    if (size < records_.size()) {
        records_.resize(size);
        changed();
    }
}

std::size_t MacroStore::removeNamed(const std::vector<std::u16string>& names) {
    std::size_t removed = 0;
    for (const std::u16string& name : names) {
        const auto found = std::find_if(records_.rbegin(), records_.rend(),
                                        [&](const auto& r) { return fieldText(r->name) == name; });
        if (found != records_.rend()) {
            records_.erase(std::next(found).base());
            changed();
            ++removed;
        }
    }
    if (removed > 0) {
        save();
    }
    return removed;
}

bool MacroStore::commit(MacroRecord* target, const MacroActions& working, std::int32_t count) {
    if (count < 0 || static_cast<std::size_t>(count) > layout::macro::kMaxActions) {
        return false;
    }
    const std::span<const MacroAction> used(working.data(), static_cast<std::size_t>(count));
    const int length = weightedLength(used);
    // Too long for the mouse is refused, unless it is no longer than what
    // is stored: a macro made elsewhere can still be edited down (or
    // renamed) until it fits.
    int storedLength = 0;
    if (target != nullptr) {
        const auto storedCount = static_cast<std::size_t>(std::clamp<std::int32_t>(
            target->actionCount, 0, static_cast<std::int32_t>(layout::macro::kMaxActions)));
        storedLength = weightedLength(std::span(target->actions.data(), storedCount));
    }
    if (length >= layout::macro::kRefusedWeightedLength && length > storedLength) {
        return false;
    }
    if (target != nullptr) {
        target->actions = working;
        target->actionCount = count;
        bytes_.reset();
        save();
    }
    return true;
}

}  // namespace tvq
