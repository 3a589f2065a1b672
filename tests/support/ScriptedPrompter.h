#pragma once
// A prompter that answers from a script and records what it was asked.

#include <deque>
#include <string>
#include <vector>

#include "base/Prompter.h"

namespace pelmora::test {

class ScriptedPrompter : public Prompter {
public:
    // Answers given in order; when the script runs out, `fallback` answers.
    void Script(std::initializer_list<Answer> answers) { answers_.assign(answers); }
    Answer fallback = Answer::Cancel;

    void Message(const std::string& text) override { messages.push_back(text); }
    Answer Ask(const std::string& text, Buttons) override {
        questions.push_back(text);
        if (answers_.empty()) return fallback;
        Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }

    std::vector<std::string> messages;
    std::vector<std::string> questions;

private:
    std::deque<Answer> answers_;
};

}  // namespace pelmora::test
