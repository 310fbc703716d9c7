#include "input/key_tables.h"

#include <algorithm>

namespace tvq {

const std::array<KeyNameRow, 62> kVirtualKeyNames = {{
    {0x08, "key_BackSpace"},   {0x09, "key_Tab"},       {0x0D, "key_Enter"},
    {0x10, "key_LShift"},      {0x11, "key_LCtrl"},     {0x12, "key_LAlt"},
    {0x13, "key_Pause"},       {0x14, "key_Caplk"},     {0x1B, "key_Esc"},
    {0x20, "key_Space"},       {0x21, "key_Page Up"},   {0x22, "key_Page Down"},
    {0x23, "key_End"},         {0x24, "key_Home"},      {0x25, "key_Left"},
    {0x26, "key_Up"},          {0x27, "key_Right"},     {0x28, "key_Down"},
    {0x2A, "key_Print Scr"},   {0x2C, "key_Print Scr"}, {0x2D, "key_Insert"},
    {0x2E, "key_Delete"},      {0x60, "key_Num_0"},     {0x61, "key_Num_1"},
    {0x62, "key_Num_2"},       {0x63, "key_Num_3"},     {0x64, "key_Num_4"},
    {0x65, "key_Num_5"},       {0x66, "key_Num_6"},     {0x67, "key_Num_7"},
    {0x68, "key_Num_8"},       {0x69, "key_Num_9"},     {0x6A, "key_Num_*"},
    {0x6B, "key_Num_+"},       {0x6C, "key_Num_Enter"}, {0x6D, "key_Num_-"},
    {0x6E, "key_Num_."},       {0x6F, "key_Num_/"},     {0x70, "key_F1"},
    {0x71, "key_F2"},          {0x72, "key_F3"},        {0x73, "key_F4"},
    {0x74, "key_F5"},          {0x75, "key_F6"},        {0x76, "key_F7"},
    {0x77, "key_F8"},          {0x78, "key_F9"},        {0x79, "key_F10"},
    {0x7A, "key_F11"},         {0x7B, "key_F12"},       {0x90, "key_Num Lock"},
    {0x91, "key_Scroll Lock"}, {0xA0, "key_LShift"},    {0xA1, "key_RShift"},
    {0xA2, "key_LCtrl"},       {0xA3, "key_RCtrl"},     {0xA4, "key_LAlt"},
    {0xA5, "key_RAlt"},        {0xF0, "key_Caplk"},     {0x5B, "key_LWin"},
    {0x5C, "key_RWin"},        {0x5D, "key_APP"},
}};

const std::array<KeyNameRow, 63> kCodeNames = {{
    {0x3A, "key_F1"},
    {0x3B, "key_F2"},
    {0x3C, "key_F3"},
    {0x3D, "key_F4"},
    {0x3E, "key_F5"},
    {0x3F, "key_F6"},
    {0x40, "key_F7"},
    {0x41, "key_F8"},
    {0x42, "key_F9"},
    {0x43, "key_F10"},
    {0x44, "key_F11"},
    {0x45, "key_F12"},
    {0x46, "key_Print Scr"},
    {0x47, "key_Scroll Lock"},
    {0x48, "key_Pause"},
    {0x49, "key_Insert"},
    {0x4A, "key_Home"},
    {0x4B, "key_Page Up"},
    {0x4C, "key_Delete"},
    {0x4D, "key_End"},
    {0x4E, "key_Page Down"},
    {0x4F, "key_Right"},
    {0x50, "key_Left"},
    {0x51, "key_Down"},
    {0x52, "key_Up"},
    {0x53, "key_Num Lock"},
    {0x54, "key_Num_/"},
    {0x55, "key_Num_*"},
    {0x56, "key_Num_-"},
    {0x57, "key_Num_+"},
    {0x58, "key_Num_Enter"},
    {0x59, "key_Num_1"},
    {0x5A, "key_Num_2"},
    {0x5B, "key_Num_3"},
    {0x5C, "key_Num_4"},
    {0x5D, "key_Num_5"},
    {0x5E, "key_Num_6"},
    {0x5F, "key_Num_7"},
    {0x60, "key_Num_8"},
    {0x61, "key_Num_9"},
    {0x62, "key_Num_0"},
    {0x63, "key_Num_."},
    {0x64, "key_\\"},
    {0x65, "key_APP"},
    {0x66, ""},
    {0x67, ""},
    {0x68, ""},
    {0x82, "Sleep"},
    {0x88, "Kana/Roma"},
    {0xDD, "`"},
    {0xE0, "key_LCtrl"},
    {0xE1, "key_LShift"},
    {0xE2, "key_LAlt"},
    {0xE3, "key_LWin"},
    {0xE4, "key_RCtrl"},
    {0xE5, "key_RShift"},
    {0xE6, "key_RAlt"},
    {0xE7, "key_RWin"},
    {0xF1, "L_Button"},
    {0xF2, "R_Button"},
    {0xF3, "M_Button"},
    {0xF4, "Backward_Button"},
    {0xF5, "Forward_Button"},
}};

namespace {

template <class Field>
std::optional<KeyRow> findFirst(Field field, std::uint32_t value) {
    const auto* row = std::find_if(kKeyTable.begin(), kKeyTable.end(),
                                   [&](const KeyRow& r) { return r.*field == value; });
    return row == kKeyTable.end() ? std::nullopt : std::optional<KeyRow>(*row);
}

template <std::size_t N>
std::optional<std::string_view> findName(const std::array<KeyNameRow, N>& table,
                                         std::uint32_t code) {
    const auto* row = std::find_if(table.begin(), table.end(),
                                   [code](const KeyNameRow& r) { return r.code == code; });
    return row == table.end() ? std::nullopt : std::optional<std::string_view>(row->textKey);
}

}  // namespace

std::optional<KeyRow> findByVirtualKey(std::uint32_t virtualKey) {
    return findFirst(&KeyRow::virtualKey, virtualKey);
}

std::optional<KeyRow> findByHidUsage(std::uint32_t hidUsage) {
    return findFirst(&KeyRow::hidUsage, hidUsage);
}

std::optional<KeyRow> findByScanCode(std::uint32_t scanCode) {
    return findFirst(&KeyRow::scanCode, scanCode);
}

std::optional<std::string_view> virtualKeyTextKey(std::uint32_t virtualKey) {
    return findName(kVirtualKeyNames, virtualKey);
}

std::optional<std::string_view> codeTextKey(std::uint32_t code) {
    return findName(kCodeNames, code);
}

}  // namespace tvq
