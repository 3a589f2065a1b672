#include "app/ShortcutPageModel.h"

#include "app/KeyNames.h"

namespace pelmora {

ShortcutPageModel::ShortcutPageModel(const ShortcutTable& applied) : applied_(applied), copy_(applied) {}

std::vector<std::string_view> ShortcutPageModel::GroupNames() {
    std::vector<std::string_view> names;
    for (const ShortcutGroup& group : ShortcutGroups()) names.push_back(group.name);
    return names;
}

std::vector<std::string_view> ShortcutPageModel::ActionNames() const {
    const ShortcutGroup& group = ShortcutGroups()[group_];
    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < group.count; ++i) names.push_back(copy_[group.first + i].name);
    return names;
}

void ShortcutPageModel::SelectGroup(std::size_t group) {
    if (group >= kShortcutGroupCount) return;
    group_ = group;
    action_ = 0;
}

void ShortcutPageModel::SelectAction(std::size_t action) {
    if (action < ShortcutGroups()[group_].count) action_ = action;
}

void ShortcutPageModel::KeyDown(std::uint16_t virtualKey, std::uint8_t modifiers) {
    capturedFlags_ = modifiers & (kShiftFlag | kCtrlFlag | kAltFlag);
    captureText_ = PageModifierText(capturedFlags_);
    capturedKey_ = 0;
    if (virtualKey == kShiftKey || virtualKey == kCtrlKey || virtualKey == kAltKey) return;
    const std::string name = KeyName(virtualKey, true);
    if (name.empty()) return;
    captureText_ += name;
    capturedKey_ = virtualKey;
    capturedFlags_ |= kVirtualKeyFlag;
}

void ShortcutPageModel::KeyUp() {
    if (!Captured()) ClearCapture();
}

std::string ShortcutPageModel::CurrentShortcut() const { return PageShortcutText(Selected()); }

std::string ShortcutPageModel::UsedAction() const {
    if (!Captured()) return {};
    for (const ShortcutRecord& record : copy_)
        if (record.SameCombination(capturedKey_, capturedFlags_)) return std::string(record.name);
    return {};
}

void ShortcutPageModel::Assign() {
    if (!Captured()) return;
    for (ShortcutRecord& record : copy_) {
        if (record.SameCombination(capturedKey_, capturedFlags_)) {
            record.key = 0;
            record.flags = 0;
        }
    }
    ShortcutRecord& selected = copy_[SelectedIndex()];
    selected.key = capturedKey_;
    selected.flags = capturedFlags_;
    ClearCapture();
}

void ShortcutPageModel::Clear() {
    ShortcutRecord& selected = copy_[SelectedIndex()];
    selected.key = 0;
    selected.flags = 0;
    ClearCapture();
}

void ShortcutPageModel::RevertPanel() { copy_ = applied_; }

void ShortcutPageModel::InitialSetting() { copy_ = DefaultShortcuts(); }

const ShortcutRecord& ShortcutPageModel::Selected() const { return copy_[SelectedIndex()]; }

std::size_t ShortcutPageModel::SelectedIndex() const { return ShortcutGroups()[group_].first + action_; }

void ShortcutPageModel::ClearCapture() {
    captureText_.clear();
    capturedKey_ = 0;
    capturedFlags_ = 0;
}

}  // namespace pelmora
