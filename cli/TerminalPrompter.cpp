#include "cli/TerminalPrompter.h"

namespace pelmora::cli {

namespace {

const char* AnswerWord(Answer a) {
    switch (a) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
    }
    return "";
}

}  // namespace

void TerminalPrompter::Message(const std::string& text) {
    std::fprintf(out_, "%s\n", text.c_str());
}

Answer TerminalPrompter::Ask(const std::string& text, Buttons buttons) {
    Answer answer;
    switch (buttons) {
    case Buttons::Ok: answer = Answer::Ok; break;
    case Buttons::OkCancel: answer = yes_ ? Answer::Ok : Answer::Cancel; break;
    case Buttons::YesNo: answer = yes_ ? Answer::Yes : Answer::No; break;
    case Buttons::YesNoCancel: answer = yes_ ? Answer::Yes : Answer::Cancel; break;
    default: answer = Answer::Cancel; break;
    }
    std::fprintf(out_, "%s\n-> %s\n", text.c_str(), AnswerWord(answer));
    return answer;
}

}  // namespace pelmora::cli
