#pragma once
// Message boxes and questions of the core, shown over the main window.

#include <QWidget>

#include "base/Prompter.h"

namespace pelmora {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent) : parent_(parent) {}
    void Message(const std::string& text) override;
    Answer Ask(const std::string& text, Buttons buttons) override;

private:
    QWidget* parent_;
};

}  // namespace pelmora
