#include "app/ui/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>

#include "base/ui/Translate.h"

namespace pelmora {

namespace {

QString Translated(const std::string& text) {
    return Tr(text.c_str());
}

}  // namespace

void QtPrompter::Message(const std::string& text) {
    QMessageBox::information(parent_, QApplication::applicationDisplayName(), Translated(text));
}

Answer QtPrompter::Ask(const std::string& text, Buttons buttons) {
    QMessageBox::StandardButtons shown;
    switch (buttons) {
    case Buttons::Ok: shown = QMessageBox::Ok; break;
    case Buttons::OkCancel: shown = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: shown = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    const auto pressed = QMessageBox::question(parent_, QApplication::applicationDisplayName(),
                                               Translated(text), shown);
    switch (pressed) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

}  // namespace pelmora
