// A MessageBoxes double for tests: installs itself for its lifetime, records every box
// (kind and text) and answers confirmations from a scripted queue.
#pragma once

#include "utility/dialogi.h"

#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct RecordedMessage {
    utility::MessageKind kind;
    std::string text;  // code page 1250, as the program passed it
};

class MessageRecorder final : public utility::MessageBoxes {
public:
    MessageRecorder();
    ~MessageRecorder() override;
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // OK for every box but a confirmation; a confirmation takes the next scripted answer, else
    // the default answer; with neither, the test fails and the answer is No.
    bool Show(utility::MessageKind kind, const std::string& text) override;

    void QueueAnswers(std::initializer_list<bool> answers);
    void SetDefaultAnswer(std::optional<bool> answer) { defaultAnswer_ = answer; }
    // Scripted answers not used yet.
    std::size_t PendingAnswers() const { return answers_.size(); }

    const std::vector<RecordedMessage>& Messages() const { return messages_; }
    // The texts of the boxes of one kind, in order.
    std::vector<std::string> TextsOf(utility::MessageKind kind) const;
    void Clear() { messages_.clear(); }

private:
    utility::MessageBoxes* previous_ = nullptr;
    std::vector<RecordedMessage> messages_;
    std::deque<bool> answers_;
    std::optional<bool> defaultAnswer_;
};

}  // namespace testsupport
