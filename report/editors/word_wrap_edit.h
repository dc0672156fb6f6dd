// The expression builder's edit box: several lines, long expressions wrapped at the box's
// width instead of scrolled sideways.
#pragma once

#include <QPlainTextEdit>

#include <string>
#include <string_view>

namespace report::editors {

class TWordWrapEdit : public QPlainTextEdit {
public:
    explicit TWordWrapEdit(QWidget* parent = nullptr);

    // The text in code page 1250; line breaks are "\n".
    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view cp1250);
    // Replaces the selection with `cp1250` and puts the cursor after it.
    void InsertAtCursor(std::string_view cp1250);
};

}  // namespace report::editors
