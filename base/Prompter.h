#pragma once
// Message boxes and questions, the one way the core speaks to the user besides progress.
// The editor answers with dialogs, pelmora-cli from its options, tests from a script.

#include <string>

namespace pelmora {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void Message(const std::string& text) = 0;
    virtual Answer Ask(const std::string& text, Buttons buttons) = 0;
};

}  // namespace pelmora
