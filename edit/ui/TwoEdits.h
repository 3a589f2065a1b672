#pragma once
// The two number edits of the Gain, Pitch Shift and Time Comp/Exp dialogs: a text is committed
// when the user leaves its edit, and OK decides which edit the user was typing in.

#include <QLineEdit>
#include <QObject>
#include <string>

#include "edit/AmplitudeDialogModels.h"

namespace pelmora {

// When `edit` is left with a text other than the model's, `commit` takes it: a refused text
// stays selected for the user to mend, anything else shows the model again.
template <typename ModelText, typename Commit, typename Show>
void CommitWhenLeft(QObject* owner, QLineEdit* edit, ModelText modelText, Commit commit, Show show) {
    QObject::connect(edit, &QLineEdit::editingFinished, owner, [=] {
        const std::string text = edit->text().toStdString();
        if (text == modelText()) return;
        if (commit(text)) show();
        else edit->selectAll();
    });
}

enum class TypedEdit { None, First, Second };

// A click on OK takes the focus first: an edit whose text differs from the model's is then the
// one the user was typing in, so that text is judged rather than dropped.
inline TypedEdit EditTypedIn(const QLineEdit* first, bool firstPending, const QLineEdit* second, bool secondPending) {
    if (second->hasFocus() || (!first->hasFocus() && secondPending)) return TypedEdit::Second;
    if (first->hasFocus() || firstPending) return TypedEdit::First;
    return TypedEdit::None;
}

// OK with the model's verdict on the typed text: true when the dialog may close; otherwise a
// corrected value is shown and the typed edit's text stays selected for the user to mend.
template <typename Show>
bool AcceptedAtOk(DialogVerdict verdict, QLineEdit* typed, Show show) {
    if (verdict == DialogVerdict::Accepted) return true;
    if (verdict == DialogVerdict::CorrectedStayOpen) show();
    typed->selectAll();
    return false;
}

}  // namespace pelmora
