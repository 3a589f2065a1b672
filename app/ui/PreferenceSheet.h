#pragma once
// CShortCutDlg and the "Preference" sheet: the "Shortcuts" page shows and forwards to its
// ShortcutPageModel; the sheet runs it modally and hands the edited records back on OK.

#include <QDialog>
#include <QLineEdit>

#include "app/ShortcutPageModel.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace pelmora {

// "New Shortcut(&N)": takes every key press as a key to capture and types nothing. Escape has
// no key name, so it still closes the sheet.
class ShortcutCaptureEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit ShortcutCaptureEdit(QWidget* parent = nullptr);

signals:
    void KeyWentDown(std::uint16_t virtualKey, std::uint8_t modifiers);
    void KeyWentUp();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};

class CShortCutDlg : public QWidget {
    Q_OBJECT
public:
    explicit CShortCutDlg(const ShortcutTable& applied, QWidget* parent = nullptr);

    const ShortcutTable& Records() const { return model_.Records(); }
    ShortcutCaptureEdit* CaptureField() const { return capture_; }
    QListWidget* MenuList() const { return menus_; }
    QListWidget* ActionList() const { return actions_; }
    QLabel* CurrentShortcutLabel() const { return current_; }
    QLabel* UsedActionLabel() const { return used_; }
    QPushButton* AssignButton() const { return assign_; }
    QPushButton* RevertPanelButton() const { return revert_; }
    QPushButton* InitialSettingButton() const { return initial_; }
    QPushButton* ClearButton() const { return clear_; }

private:
    void FillActions();
    void ShowState();
    // After Assign and Clear: the capture field takes the keyboard again.
    void AfterChange();

    ShortcutPageModel model_;
    QListWidget* menus_ = nullptr;
    QListWidget* actions_ = nullptr;
    ShortcutCaptureEdit* capture_ = nullptr;
    QLabel* current_ = nullptr;
    QLabel* used_ = nullptr;
    QPushButton* assign_ = nullptr;
    QPushButton* revert_ = nullptr;
    QPushButton* initial_ = nullptr;
    QPushButton* clear_ = nullptr;
};

class PreferenceSheet : public QDialog {
    Q_OBJECT
public:
    explicit PreferenceSheet(const ShortcutTable& applied, QWidget* parent = nullptr);

    const ShortcutTable& Records() const { return page_->Records(); }
    CShortCutDlg* ShortcutsPage() const { return page_; }

private:
    CShortCutDlg* page_ = nullptr;
};

}  // namespace pelmora
