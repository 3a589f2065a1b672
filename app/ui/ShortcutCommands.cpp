// The shortcut records at work in the frame: "Preferences...", the accelerator table, the menu
// texts with their shortcuts, and the key presses the table takes.

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "app/ShortcutProfile.h"
#include "app/ui/MainFrame.h"
#include "app/ui/PreferenceSheet.h"
#include "app/ui/QtKeyMap.h"
#include "base/ui/Translate.h"

namespace pelmora {

namespace {

// Keys typed into an edit field are the field's, not the frame's.
bool IsEditField(const QObject* object) {
    return qobject_cast<const QLineEdit*>(object) || qobject_cast<const QAbstractSpinBox*>(object) ||
           qobject_cast<const QTextEdit*>(object) || qobject_cast<const QPlainTextEdit*>(object);
}

}  // namespace

void CMainFrame::BuildShortcutCommands() {
    Register(CommandId::Preference, Tr("Preferences..."), QKeySequence(), [this] {
        PreferenceSheet sheet(app_->shortcuts, this);
        if (sheet.exec() != QDialog::Accepted) return;
        app_->shortcuts = sheet.Records();
        ApplyShortcuts();
    });
}

void CMainFrame::ApplyShortcuts() {
    accelerators_ = AcceleratorTable(app_->shortcuts);
    RefreshMenuTexts();
}

void CMainFrame::RefreshMenuTexts() {
    for (CommandId id : MenuShortcutCommands()) {
        auto it = commands_.find(id);
        if (it == commands_.end()) continue;
        QAction* action = it->second.action;
        action->setText(QString::fromStdString(MenuItemText(action->text().toStdString(), app_->shortcuts, id)));
    }
}

bool CMainFrame::TranslateAccelerator(QObject* watched, QKeyEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // The frame's own windows only: dialogs and open menus keep their keys.
    if (!widget || widget->window() != this || QApplication::activePopupWidget()) return false;
    if (IsEditField(widget) || IsEditField(QApplication::focusWidget())) return false;
    const std::optional<CommandId> id = accelerators_.Find(StrokeOf(*event));
    if (!id || !commands_.contains(*id)) return false;
    Run(*id);  // a disabled command does nothing, and the key is still the accelerator's
    return true;
}

}  // namespace pelmora
