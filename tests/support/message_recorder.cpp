#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

namespace testsupport {

MessageRecorder::MessageRecorder() : previous_(utility::SetMessageBoxes(this)) {}

MessageRecorder::~MessageRecorder() { utility::SetMessageBoxes(previous_); }

bool MessageRecorder::Show(utility::MessageKind kind, const std::string& text)
{
    messages_.push_back({kind, text});
    if (kind != utility::MessageKind::Confirmation)
        return true;
    if (!answers_.empty()) {
        const bool answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if (defaultAnswer_)
        return *defaultAnswer_;
    ADD_FAILURE() << "unscripted confirmation: " << text;
    return false;
}

void MessageRecorder::QueueAnswers(std::initializer_list<bool> answers)
{
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

std::vector<std::string> MessageRecorder::TextsOf(utility::MessageKind kind) const
{
    std::vector<std::string> texts;
    for (const auto& m : messages_)
        if (m.kind == kind)
            texts.push_back(m.text);
    return texts;
}

}  // namespace testsupport
